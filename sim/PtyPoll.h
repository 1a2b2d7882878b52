#pragma once

#include <functional>
#include <mutex>
#include <string_view>

#include "Pty.h"
#include "WakePipe.h"

namespace korvosim {

// The wait of a pseudo-terminal front end's thread: for the PC's bytes on the master, for room to write,
// for the wake pipe or for a timeout; and whether the PC has its port open. While the port is closed the
// master reports a hang-up at once, so it is then only probed, every few milliseconds, not waited on.
class PtyPoll {
 public:
  PtyPoll(const Pty& pty, WakePipe& wake) : pty_(pty), wake_(wake) {}

  // Waits with `lock` released, at most `timeoutMs` (-1: no limit), and for room to write as well when
  // `wantRoom`; takes `lock` again and empties the wake pipe.
  void wait(std::unique_lock<std::mutex>& lock, int timeoutMs, bool wantRoom);
  // The PC's bytes are waiting (found by the last wait).
  bool readable() const;
  // The PC closed its port during the last wait.
  bool closedNow() const { return closedNow_; }
  // The PC has its port closed.
  bool hungUp() const { return hungUp_; }
  // Reads everything waiting on the master, one buffer at a time.
  void read(const std::function<void(std::string_view)>& sink) const;

 private:
  const Pty& pty_;
  WakePipe& wake_;
  short revents_ = 0;
  bool closedNow_ = false;
  bool hungUp_ = false;
};

}  // namespace korvosim
