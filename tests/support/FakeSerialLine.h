#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/SerialDevice.h"
#include "support/VirtualClock.h"

namespace korvo::test {

// A scripted serial line against virtual time. What the PC writes goes to `responder`, which
// schedules the terminal's answer with Send; the scheduled bytes arrive as the clock advances,
// at once or at a given rate, like bytes on a real line. Every device operation is recorded.
class TFakeSerialLine {
 public:
  struct TEvent {
    std::int64_t ms;
    std::string kind;  // "open", "close", "write", "waiting", "read", "purge", "rts", "dtr"
    std::string data;
  };

  explicit TFakeSerialLine(TVirtualClock& clock);
  std::unique_ptr<TSerialDeviceFactory> Factory();

  // Called with every write of the PC (one plain piece with its CR, or one frame).
  std::function<void(const std::string& written)> responder;

  // Bytes the terminal sends, starting `delayMs` from now; bytesPerMs 0 means all at once.
  void Send(std::string bytes, int delayMs = 0, double bytesPerMs = 0);
  // A stream that never ends: `pattern` repeated at the given rate.
  void SendEndless(std::string pattern, double bytesPerMs, int delayMs = 0);
  void StopSending();

  // Behaviour of the line.
  int failOpens = 0;        // the next n opens fail
  bool alwaysFail = false;  // the port does not exist
  bool refuseBuffers = false;
  bool refuseSettings = false;
  bool hasRts = true;
  bool echoFrames = false;  // the bus echoes the PC's frames back to it

  // What happened.
  const std::vector<TEvent>& Events() const;
  std::vector<TEvent> EventsOf(const std::string& kind) const;
  std::vector<std::string> Writes() const;
  int Opens() const;
  bool IsOpen() const;
  std::vector<int> OpenedPorts() const;
  const TLineSettings& LastSettings() const;
  // The most bytes that ever waited unread at the PC's side.
  std::size_t MaxWaiting() const;
  // Bytes the terminal produced in all.
  std::size_t Produced() const;

  struct TState;

 private:
  std::shared_ptr<TState> state_;
};

// Test-side frame helpers, written apart from the link code so that they check it.
std::string XorChecksumHex(const std::string& text);
// A terminal's framed reply: ":" length address status data checksum CR LF.
std::string ReplyFrame(int address, char status, const std::string& data);

}  // namespace korvo::test
