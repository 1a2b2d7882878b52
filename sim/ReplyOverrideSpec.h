#pragma once

#include <string>
#include <string_view>

#include "ReplyOverride.h"

namespace korvosim {

// A reply override written as "[K]COMMAND=REPLY", the form `--reply` takes:
//   COMMAND   everything before the first "=", taken as written (backslashes are path separators);
//   REPLY     "FAIL", "silent", "restart", "partial:N" (letter case ignored), "text:" + any text, or any
//   other text;
//             a text takes the escapes \r \n \t \\ and \xHH;
//   [K]       optional: only the first K matching command lines, K >= 1.
// Throws std::invalid_argument with a message for the user.
ReplyOverride parseReplyOverride(std::string_view spec);

// The escapes of a fixed reply text resolved. Throws std::invalid_argument on an unknown or cut-off escape.
std::string unescapeReplyText(std::string_view text);

}  // namespace korvosim
