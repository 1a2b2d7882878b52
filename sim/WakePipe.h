#pragma once

namespace korvosim {

// Wakes a thread that waits in poll(): the front ends' threads listen on it for new settings and for stop.
class WakePipe {
 public:
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  int fd() const { return read_; }
  void notify();
  void drain();

 private:
  int read_ = -1;
  int write_ = -1;
};

}  // namespace korvosim
