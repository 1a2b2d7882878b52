#pragma once

#include <string>

namespace korvo {

// The device path of COM `port`: the entry "COM<n>=<path>" of section [Ports] in
// programFolder + "PORTS.CFG" when there is one, otherwise "/dev/ttyS" + (port - 1).
// Empty for a port number below 1, which names no device. Empty too when PORTS.CFG is there but
// refused (no regular file, or too large): `refusal` then tells why, and no port is guessed.
std::string SerialDevicePath(const std::string& programFolder, int port, std::string* refusal = nullptr);

}  // namespace korvo
