#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// The fields of a text cut at each `delimiter` and at blanks: a run of blanks is one cut, blanks at
// either end make no field, and a delimiter at the very end leaves an empty last field. Progress
// notices ("0-10-Step") and terminal addresses ("2@7") are read this way.
std::vector<std::string> SplitDelimitedFields(std::string_view text, char delimiter);

// A whole decimal integer with an optional sign, or false.
bool ReadInteger(std::string_view text, int& value);

}  // namespace korvo
