// What the link's fuzz targets share: a clock whose pauses pass at once, silent operator hooks, and
// a serial device and a network stream that hand out the fuzzer's bytes as the terminal's answer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "link/LinkContext.h"
#include "link/NetStream.h"
#include "link/PingHost.h"
#include "link/QCCom32.h"
#include "link/SerialDevice.h"
#include "store/Clock.h"
#include "store/OperatorUi.h"

namespace korvo::fuzz {

class TStepClock final : public TClock {
 public:
  std::chrono::system_clock::time_point Now() override {
    return std::chrono::system_clock::time_point{std::chrono::milliseconds{1796000000000 + ms_}};
  }
  std::int64_t MonotonicMs() override { return ms_; }
  void Pause(int ms) override { ms_ += std::max(ms, 0); }

 private:
  std::int64_t ms_ = 0;
};

// The fuzzer's bytes, handed out in chunks whose sizes the bytes themselves choose, so that frame
// and line boundaries fall anywhere. Once they are spent the line is silent.
class TByteSource {
 public:
  TByteSource(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}
  std::string Next(std::size_t most) {
    if (at_ >= bytes_.size()) return {};
    const std::size_t want = std::min<std::size_t>(1 + static_cast<unsigned char>(bytes_[at_]) % 97, most);
    ++at_;
    const std::string out(bytes_.substr(at_, want));
    at_ += out.size();
    return out;
  }
  bool Spent() const { return at_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

class TFuzzSerialDevice final : public TSerialDevice {
 public:
  explicit TFuzzSerialDevice(TByteSource& source) : source_(source) {}
  int NativeHandle() const override { return -1; }
  bool SetBufferSizes(int, int) override { return true; }
  bool ApplyLineSettings(const TLineSettings&) override { return true; }
  std::size_t Write(std::string_view bytes) override {
    // Every write may be answered.
    pending_ += source_.Next(4096);
    return bytes.size();
  }
  int Waiting() override { return static_cast<int>(pending_.size()); }
  std::string Read(int count) override {
    std::string out = pending_.substr(0, static_cast<std::size_t>(std::max(count, 0)));
    pending_.erase(0, out.size());
    return out;
  }
  bool Purge() override {
    pending_.clear();
    return true;
  }
  bool SetRts(bool) override { return true; }
  bool SetDtr(bool) override { return true; }

 private:
  TByteSource& source_;
  std::string pending_;
};

class TFuzzSerialFactory final : public TSerialDeviceFactory {
 public:
  explicit TFuzzSerialFactory(TByteSource& source) : source_(source) {}
  TSerialOpenResult Open(int) override {
    TSerialOpenResult r;
    r.device = std::make_unique<TFuzzSerialDevice>(source_);
    r.path = "fuzz";
    return r;
  }

 private:
  TByteSource& source_;
};

class TFuzzNetStream final : public TNetStream {
 public:
  TFuzzNetStream(TByteSource& source, TClock& clock) : source_(source), clock_(clock) {}
  int Connect(const std::string&, int, int) override { return 0; }
  bool Write(std::string_view, int) override { return true; }
  bool WaitReadable(int limitMs) override {
    if (!pending_.empty()) return true;
    pending_ = source_.Next(4096);
    if (pending_.empty())
      clock_.Pause(limitMs);
    else
      clock_.Pause(1);
    return !pending_.empty() || source_.Spent();
  }
  std::string ReadSome(std::size_t maxBytes) override {
    std::string out = pending_.substr(0, maxBytes);
    pending_.erase(0, out.size());
    return out;
  }
  bool AtEnd() const override { return pending_.empty() && source_.Spent(); }
  void Close() override {}

 private:
  TByteSource& source_;
  TClock& clock_;
  std::string pending_;
};

class TAlwaysEcho final : public TPinger {
 public:
  TEchoResult Echo(const std::string&, int, int) override { return {false, 1}; }
};

// A link whose one terminal has `address`, answering with the fuzzer's bytes on every transport.
struct TFuzzLink {
  TFuzzLink(TByteSource& source, const std::string& address)
      : com(clock, ui, std::make_unique<TFuzzSerialFactory>(source)), link(clock, ui, com) {
    link.FindTerminal = [address](const std::string& a) -> std::optional<TTerminalRow> {
      if (a != address) return std::nullopt;
      return TTerminalRow{address, 1, "Fuzz"};
    };
    link.NetStreamFactory = [&source, this] { return std::make_unique<TFuzzNetStream>(source, clock); };
    link.Pinger = std::make_shared<TAlwaysEcho>();
  }
  TStepClock clock;
  TUnattendedUi ui;
  T_QCCom32 com;
  TLinkContext link;
};

}  // namespace korvo::fuzz
