#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Civil.h"
#include "Transcript.h"

namespace korvosim {

struct OnlinePusherOptions {
  std::string host = "127.0.0.1";
  int port = 8010;
  double linesPerSecond = 1;       // 0 or less: as fast as the connection takes them
  int count = 10;                  // lines to send; with `lines` given, at most that many of them
  std::vector<std::string> lines;  // sent as they are (without line end); generated when empty
  std::string termNo = "001";
  int cardDigits = 6;
  int cardholders = 20;
  unsigned seed = 1;
  bool connectionPerLine = false;  // one connection for every line instead of one for all
  int retryMs = 500;               // pause before connecting again after a failure
  std::shared_ptr<Transcript> transcript;
};

// Plays networked terminals that report each transaction as it happens: connects to the PC's online port and
// sends transaction lines (CR LF) at a set rate. A thread does the work from construction until the lines are
// sent or the pusher is destroyed.
class OnlinePusher {
 public:
  explicit OnlinePusher(OnlinePusherOptions options);
  ~OnlinePusher();
  OnlinePusher(const OnlinePusher&) = delete;
  OnlinePusher& operator=(const OnlinePusher&) = delete;

  // Terminal number (3), card (N digits), yyyymmddhhnnss, direction flag, event flag (2), function code.
  static std::string formatLine(const std::string& termNo, const std::string& card, const CivilTime& time,
                                char direction, const std::string& event, const std::string& function = "00");

  bool waitDone(std::chrono::milliseconds timeout) const;
  bool done() const;
  int sent() const;
  int connectFailures() const;
  std::vector<std::string> sentLines() const;
  void stop();
  Transcript& transcript() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvosim
