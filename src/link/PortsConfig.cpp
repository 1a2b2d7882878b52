#include "link/PortsConfig.h"

#include "store/AtomicFile.h"
#include "store/IniFile.h"

namespace korvo {

std::string SerialDevicePath(const std::string& programFolder, int port, std::string* refusal) {
  if (port < 1) return {};
  const std::string path = programFolder + "PORTS.CFG";
  std::string text;
  const TFileRead outcome = ReadRegularFile(path, kConfigFileMaxBytes, text);
  if (outcome == TFileRead::NotRegular || outcome == TFileRead::TooLarge) {
    if (refusal) *refusal = RefusedFileText(path, outcome);
    return {};
  }
  if (outcome == TFileRead::Read) {
    auto mapped = TIniFile::Parse(text).Read("Ports", "COM" + std::to_string(port));
    if (mapped && !mapped->empty()) return *mapped;
  }
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace korvo
