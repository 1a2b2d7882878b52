#pragma once

#include <string>
#include <string_view>

namespace korvo {

// The text on the left filled with "0" up to `width` characters; never cut.
std::string PadZeros(std::string_view text, int width);
// The text at the left of `width` characters, filled with blanks, or cut to its first `width`.
std::string PadSpaces(std::string_view text, int width);

// A day mask: Sunday 128, Monday 64, Tuesday 32, Wednesday 16, Thursday 8, Friday 4, Saturday 2,
// Holiday 1. Its text is "SMTWTFSH" with the letter of every clear bit a "-" (124 gives -MTWTF--).
std::string DayMaskText(int mask);
// The inverse: each of the eight positions that is not "-" adds its bit.
int DayMaskValue(std::string_view text);

// The relay code of an alarm: 0 none, 1 relay 1, 2 relay 2, 3 both.
int RelayCode(bool relay1, bool relay2);
// The code as its digit "0" to "3"; empty for any other value.
std::string RelayDigit(int code);

}  // namespace korvo
