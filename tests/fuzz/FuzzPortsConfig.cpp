// PORTS.CFG: the COM port map read from any text.
#include "FuzzFiles.h"
#include "link/PortsConfig.h"

using namespace korvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::WriteFile(fuzz::Folder() + "PORTS.CFG", data, size);
  for (int port = 0; port <= 4; ++port) {
    std::string refusal;
    const std::string path = SerialDevicePath(fuzz::Folder(), port, &refusal);
    if (port >= 1 && path.empty() && refusal.empty()) __builtin_trap();  // every port names a device
  }
  return 0;
}
