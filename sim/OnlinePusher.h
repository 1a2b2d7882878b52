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
  int retryMs = 500;               // pause before a connection that failed is tried again
  int connections = 1;             // connections at once, each sending `count` lines of its own
  int holdOpenMs = 0;              // each connection stays open this long after its last line
  std::vector<int> gapsMs;         // pause before line i (from the second), the last one repeated;
                                   // when given it takes the place of linesPerSecond
  std::string lineEnd = "\r\n";    // "\n" for LF-only lines, "" for lines without an end
  std::string tail;                // sent after the last line with no line end: a line cut off
  bool sequentialCards = false;    // card numbers count up over all connections: no two lines alike
  std::shared_ptr<Transcript> transcript;
};

// Plays networked terminals that report each transaction as it happens: connects to the PC's online port and
// sends transaction lines (CR LF) at a set rate, on one or more connections at once. One thread per
// connection does the work from construction until its lines are sent or the pusher is destroyed. A
// connection that could not be made is tried again; once it is made, a failed send ends it: nothing is ever
// sent twice.
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
  // Lines sent by each connection, in the order of `connections`.
  std::vector<int> sentPerConnection() const;
  int connectFailures() const;
  std::vector<std::string> sentLines() const;
  void stop();
  Transcript& transcript() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvosim
