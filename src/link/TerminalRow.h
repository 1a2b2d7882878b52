#pragma once

#include <cstdint>
#include <string>

#include "link/LinkContext.h"

namespace korvo {

// The row as the link uses it. A COM port must be an int; a network terminal's TCP port must lie in
// 1..65535. Anything else raises TTerminalPortError naming the terminal, instead of a narrowing cast
// turning 4294967297 into COM1.
TTerminalRow CheckedTerminalRow(const std::string& fsAddr, const std::string& fsLocation,
                                std::int64_t fnPort);

// The terminal as the tree shows it: location + " [" + address + "]".
std::string TerminalLabel(const TTerminalRow& row);

}  // namespace korvo
