#include "link/PortsConfig.h"

#include <fstream>
#include <iterator>

#include "store/IniFile.h"

namespace korvo {

std::string SerialDevicePath(const std::string& programFolder, int port) {
  if (port < 1) return {};
  std::ifstream in(programFolder + "PORTS.CFG", std::ios::binary);
  if (in) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto mapped = TIniFile::Parse(text).Read("Ports", "COM" + std::to_string(port));
    if (mapped && !mapped->empty()) return *mapped;
  }
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace korvo
