#pragma once

#include <string>

namespace korvo {

class TDM;

// The terminal's row as SendCommand found it: the transports read the address and port from it.
struct TTerminalRow {
  std::string fsAddr;
  int fnPort = 0;
};

// Each transport runs a whole command text and returns the joined entries, before the CR LF rule.
std::string SerialTransport(TDM& dm, const TTerminalRow& row, const std::string& address,
                            const std::string& commandText);
std::string NetTransport(TDM& dm, const TTerminalRow& row, const std::string& address,
                         const std::string& commandText);
std::string ModemTransport(TDM& dm, const TTerminalRow& row, const std::string& address,
                           const std::string& commandText);

}  // namespace korvo
