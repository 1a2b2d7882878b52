#include "link/TerminalRow.h"

#include <climits>

#include "link/CommandText.h"
#include "link/LinkErrors.h"

namespace korvo {

TTerminalRow CheckedTerminalRow(const std::string& fsAddr, const std::string& fsLocation,
                                std::int64_t fnPort) {
  // The transport follows the address form: "-" modem, no "." serial line, else TCP/IP.
  const bool network = !Contains(fsAddr, "-") && Contains(fsAddr, ".");
  const bool inRange = network ? fnPort >= 1 && fnPort <= 65535 : fnPort >= INT_MIN && fnPort <= INT_MAX;
  if (!inRange)
    throw TTerminalPortError("The terminal " + fsLocation + " [" + fsAddr + "] has the port " +
                             std::to_string(fnPort) + ", which is out of range" +
                             (network ? " (1 to 65535)." : "."));
  return TTerminalRow{fsAddr, static_cast<int>(fnPort), fsLocation};
}

std::string TerminalLabel(const TTerminalRow& row) {
  return row.fsLocation + " [" + row.fsAddr + "]";
}

}  // namespace korvo
