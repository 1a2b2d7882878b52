#pragma once

#include <string>
#include <vector>

namespace korvo::test {

// The messages in the text of a monthly log: every CR LF line without its 21-character time-stamp column
// (a stamp, or blanks for an unstamped line).
std::vector<std::string> LogMessages(const std::string& logText);

}  // namespace korvo::test
