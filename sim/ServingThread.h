#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include "WakePipe.h"

namespace korvosim {

// The thread that serves a front end until the front end goes. Its loop holds the front end's mutex except
// while it waits in poll() on the wake pipe, and ends when `stopping()` holds after a wait. Declared as the
// front end's last member, it stops the loop before the members the loop uses are destroyed.
class ServingThread {
 public:
  ServingThread(std::mutex& mutex, WakePipe& wake) : mutex_(mutex), wake_(wake) {}
  ~ServingThread() { stop(); }
  ServingThread(const ServingThread&) = delete;
  ServingThread& operator=(const ServingThread&) = delete;

  void start(std::function<void()> loop) { thread_ = std::thread(std::move(loop)); }
  // Read with the mutex held.
  bool stopping() const { return stop_; }
  // Asks the loop to end, wakes it and waits until it has.
  void stop() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify();
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::mutex& mutex_;
  WakePipe& wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace korvosim
