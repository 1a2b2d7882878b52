#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// Widths and cuts count characters, not bytes: texts are UTF-8 here and one character each on the
// terminal line, which carries Windows-1252.
std::size_t CharCount(std::string_view text);
// The first `n` characters of the text, and what follows them.
std::string FirstChars(std::string_view text, std::size_t n);
std::string AfterChars(std::string_view text, std::size_t n);
// `n` blanks; nothing for a negative `n`.
std::string Blanks(int n);
// Blanks (and control characters) removed from the right end only.
std::string TrimRight(std::string_view text);
// The words of a text, split on blanks.
std::vector<std::string> Words(std::string_view text);
// The words, each followed by one blank: doubled blanks become single, and one blank ends the text.
std::string WordsWithBlanks(std::string_view text);

// Letter case ignored (ASCII letters).
bool EqualsNoCase(std::string_view a, std::string_view b);
bool LessNoCase(std::string_view a, std::string_view b);
// Every occurrence of `what`, in any letter case, replaced by `with`; an empty `what` changes nothing.
std::string ReplaceNoCase(std::string_view text, std::string_view what, std::string_view with);

// Why a typed text cannot be kept as it is, or empty when it can: a "|" splits a command line into
// commands of its own on the terminal line, and a control character ends a line or a record.
std::string UnsafeTextReason(std::string_view text, std::string_view what);

// The text on the left filled with "0" up to `width` characters; never cut.
std::string PadZeros(std::string_view text, int width);
// The text at the left of `width` characters, filled with blanks, or cut to its first `width`.
std::string PadSpaces(std::string_view text, int width);

// A day mask: Sunday 128, Monday 64, Tuesday 32, Wednesday 16, Thursday 8, Friday 4, Saturday 2,
// Holiday 1. Its text is "SMTWTFSH" with the letter of every clear bit a "-" (124 gives -MTWTF--).
std::string DayMaskText(int mask);
// The inverse: each of the eight positions that is not "-" adds its bit.
int DayMaskValue(std::string_view text);

// The mask of the eight day boxes, Sunday to Saturday then Holiday, and the boxes of a mask.
using TDayBoxes = std::array<bool, 8>;
int DayMaskOf(const TDayBoxes& boxes);
TDayBoxes DayBoxesOf(int mask);

// The relay code of an alarm: 0 none, 1 relay 1, 2 relay 2, 3 both.
int RelayCode(bool relay1, bool relay2);
// The code as its digit "0" to "3"; empty for any other value.
std::string RelayDigit(int code);

}  // namespace korvo
