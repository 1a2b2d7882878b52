#pragma once

#include <memory>
#include <string>

#include "link/SerialDevice.h"

namespace korvo {

// A serial device on a POSIX terminal: a real port, a USB adapter or a pseudo-terminal.
// Opened exclusively (TIOCEXCL and an flock the next opener sees), non-blocking, raw.
class TTermiosSerialDevice final : public TSerialDevice {
 public:
  // Null when the path cannot be opened, is no character device or another program holds it;
  // `reason` then says why, as the system puts it.
  static std::unique_ptr<TTermiosSerialDevice> OpenPath(const std::string& path, std::string& reason);
  ~TTermiosSerialDevice() override;
  TTermiosSerialDevice(const TTermiosSerialDevice&) = delete;
  TTermiosSerialDevice& operator=(const TTermiosSerialDevice&) = delete;

  int NativeHandle() const override { return fd_; }
  bool SetBufferSizes(int input, int output) override;
  bool ApplyLineSettings(const TLineSettings& settings) override;
  std::size_t Write(std::string_view bytes) override;
  int Waiting() override;
  std::string Read(int count) override;
  bool Purge() override;
  // A pseudo-terminal has no modem lines: both return false there.
  bool SetRts(bool on) override;
  bool SetDtr(bool on) override;

 private:
  explicit TTermiosSerialDevice(int fd) : fd_(fd) {}
  bool SetModemLine(int line, bool on);
  int fd_;
  bool xonXoff_ = false;
};

// COM n as PORTS.CFG in the program folder maps it, else /dev/ttyS(n-1).
class TTermiosSerialFactory final : public TSerialDeviceFactory {
 public:
  explicit TTermiosSerialFactory(std::string programFolder) : programFolder_(std::move(programFolder)) {}
  TSerialOpenResult Open(int port) override;

 private:
  std::string programFolder_;
};

}  // namespace korvo
