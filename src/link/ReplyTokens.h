#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// The tokens of a terminal reply. Blanks and control characters separate tokens, a run of them
// counting as one; a comma separates too, so two commas with nothing between enclose an empty
// token. A token that begins with a double quote runs to the closing quote, and a doubled quote
// inside stands for one quote.
std::vector<std::string> SplitReplyTokens(std::string_view reply);

// The value in a terminal's answer to "PAR n": "PAR", the number, "=" and the value, which may hold
// blanks itself. Empty with three tokens or fewer, as for a line that got no answer. Noise before
// "PAR" (or "SFMPAR") is skipped.
std::string ParameterValue(std::string_view reply);

// The card digits a terminal's parameter 7 gives: its value trimmed, read as a decimal integer; 1
// when it is no number.
int CardDigitsOf(const std::string& parameterValue);

}  // namespace korvo
