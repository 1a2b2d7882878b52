#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace korvo {

// The line settings the port object asks of a device when it opens it.
struct TLineSettings {
  int baud = 9600;
  int byteSize = 8;
  int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  int stopCode = 0;  // 0 one stop bit, 1 one and a half, 2 two
  bool xonXoff = false;
  bool dtrDsr = false;
};

// One open serial device. Reads never block: they take only what has arrived.
class TSerialDevice {
 public:
  virtual ~TSerialDevice() = default;
  virtual int NativeHandle() const = 0;
  // Driver buffer sizes; false when the driver refuses them.
  virtual bool SetBufferSizes(int input, int output) = 0;
  // False when the line state cannot be read or written, or the bit rate is refused; the device
  // stays usable, raw where the line state could be written.
  virtual bool ApplyLineSettings(const TLineSettings& settings) = 0;
  // Returns the number of bytes the driver took.
  virtual std::size_t Write(std::string_view bytes) = 0;
  // Received bytes waiting in the driver.
  virtual int Waiting() = 0;
  // At most `count` of the waiting bytes.
  virtual std::string Read(int count) = 0;
  // Abort and discard both directions.
  virtual bool Purge() = 0;
  virtual bool SetRts(bool on) = 0;
  virtual bool SetDtr(bool on) = 0;
};

// What opening a COM port came to: the device, or why there is none.
struct TSerialOpenResult {
  std::unique_ptr<TSerialDevice> device;
  // The device path the port maps to (empty where ports have no paths).
  std::string path;
  // The system's reason when the device did not open, e.g. "No such file or directory".
  std::string reason;
};

// Opens COM ports by number. Production opens real devices; tests hand out scripted ones.
class TSerialDeviceFactory {
 public:
  virtual ~TSerialDeviceFactory() = default;
  // No device when the port is missing, held by another program or no serial device at all.
  virtual TSerialOpenResult Open(int port) = 0;
};

}  // namespace korvo
