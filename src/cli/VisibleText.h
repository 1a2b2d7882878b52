#pragma once

#include <string>
#include <string_view>

namespace korvo {

// A terminal reply made printable: CR and LF as "<CR>" and "<LF>", other control bytes as "<xx>"
// in hex, and a line break after each line end so listings stay readable.
std::string VisibleText(std::string_view reply);

// A value shown on one line: every control character, also CR, LF and the C1 controls U+0080 to
// U+009F, as "<xx>" in hex, so a stored text cannot move the cursor or drive the terminal.
std::string OneLineText(std::string_view value);

// A command text typed on a shell line: the two characters "\r" stand for CR.
std::string CommandTextFromArgs(const std::string* first, const std::string* last);

}  // namespace korvo
