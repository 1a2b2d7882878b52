#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Reply.h"
#include "Terminal.h"
#include "Transcript.h"

namespace korvosim {

using SteadyClock = std::chrono::steady_clock;

struct StreamOptions {
  // Text that stops without a line end (a long command the PC sends raw) is taken as a command after this
  // much quiet.
  std::chrono::milliseconds rawGap{150};
  // The bytes that follow an accepted "TMPSAVE" end after this much quiet.
  std::chrono::milliseconds templateGap{100};
  std::size_t templateMax = 4096;
};

// One command received and what the terminal answered.
struct Exchange {
  Channel channel = Channel::Plain;
  std::string command;
  Reply reply;
};

// A byte stream in front of one terminal: cuts it into command lines (CR, LF or CR LF), passes raw template
// bytes to the terminal after "TMPSAVE", and takes a text left without a line end as one command once the
// line has been quiet.
class StreamConversation {
 public:
  StreamConversation(std::shared_ptr<Terminal> terminal, Transport transport, StreamOptions options = {});

  std::vector<Exchange> feed(std::string_view bytes, SteadyClock::time_point now);
  // What quiet has completed by `now`.
  std::vector<Exchange> expire(SteadyClock::time_point now);
  // When `expire` next has something to do.
  std::optional<SteadyClock::time_point> deadline() const;
  // The peer went away: template bytes received so far are stored; a partial line is dropped.
  void finish();
  void reset();  // a new conversation (the session's logon ends)
  bool pending() const { return !buffer_.empty(); }

 private:
  void process(std::vector<Exchange>& out);
  Exchange storeTemplate(std::string bytes);

  std::shared_ptr<Terminal> terminal_;
  Transport transport_;
  StreamOptions options_;
  SessionState session_;
  std::string buffer_;
  bool afterCR_ = false;
  SteadyClock::time_point lastInput_{};
};

}  // namespace korvosim
