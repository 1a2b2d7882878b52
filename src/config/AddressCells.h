#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvo {

// The seven cells of an address grid: the four numbers of a dotted address in cells 0, 2, 4 and 6,
// a "." in cells 1, 3 and 5.
constexpr int kAddressCells = 7;
using TAddressCells = std::array<std::string, kAddressCells>;

// Cells 0, 2 and 4 each take the text up to the next "." (which is dropped); when no "." is left the
// cell stays empty and the text whole. Cell 6 takes what remains. A well-formed address comes back
// unchanged from JoinAddressCells; a text with fewer dots does not ("1.2" gives "1...2").
TAddressCells SplitAddressCells(std::string_view text);
// The seven cells in order; empty when no number cell holds anything.
std::string JoinAddressCells(const TAddressCells& cells);
// Cells 1, 3 and 5 only hold the dot.
constexpr bool IsNumberCell(int cell) {
  return cell % 2 == 0;
}

}  // namespace korvo
