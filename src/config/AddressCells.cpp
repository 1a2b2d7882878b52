#include "config/AddressCells.h"

namespace korvo {

TAddressCells SplitAddressCells(std::string_view text) {
  TAddressCells cells;
  for (int cell = 0; cell < kAddressCells - 1; cell += 2) {
    const auto dot = text.find('.');
    if (dot != std::string_view::npos) {
      cells[cell] = text.substr(0, dot);
      text.remove_prefix(dot + 1);
    }
    cells[cell + 1] = ".";
  }
  cells[kAddressCells - 1] = text;
  return cells;
}

std::string JoinAddressCells(const TAddressCells& cells) {
  // A grid without a number holds no address: joined it would be "...", which a terminal would take
  // for its address. It stays empty, as it was read.
  if (cells[0].empty() && cells[2].empty() && cells[4].empty() && cells[6].empty()) return {};
  std::string text;
  for (const auto& cell : cells) text += cell;
  return text;
}

}  // namespace korvo
