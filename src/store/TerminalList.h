#pragma once

#include <string>
#include <vector>

namespace korvo {

class TDatabase;

struct TTerminalEntry {
  std::string address;   // fsAddr
  std::string location;  // fsLocation, empty when null
};

// Every terminal of tTerminals in the order of its address, as jobs that walk all terminals take
// them. A query of its own: the shared queries stay where they stand.
std::vector<TTerminalEntry> TerminalsByAddress(TDatabase& db);

}  // namespace korvo
