#include "store/Clock.h"

#include <thread>

namespace korvo {

std::chrono::system_clock::time_point TRealClock::Now() {
  return std::chrono::system_clock::now();
}

std::int64_t TRealClock::MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TRealClock::Pause(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TVirtualClock::TVirtualClock(std::chrono::system_clock::time_point start) : wallStart_(start) {}

std::chrono::system_clock::time_point TVirtualClock::Now() {
  std::lock_guard lock(mutex_);
  return wallStart_ + std::chrono::milliseconds(elapsedMs_);
}

std::int64_t TVirtualClock::MonotonicMs() {
  std::lock_guard lock(mutex_);
  return elapsedMs_;
}

std::int64_t TVirtualClock::ElapsedMs() const {
  std::lock_guard lock(mutex_);
  return elapsedMs_;
}

void TVirtualClock::SetWallClock(std::chrono::system_clock::time_point t) {
  std::lock_guard lock(mutex_);
  wallStart_ = t - std::chrono::milliseconds(elapsedMs_);
}

void TVirtualClock::OnAdvance(TListener listener) {
  std::lock_guard lock(mutex_);
  listeners_.push_back(std::move(listener));
}

void TVirtualClock::Pause(int ms) {
  std::vector<TListener> listeners;
  std::int64_t now = 0;
  {
    std::lock_guard lock(mutex_);
    if (ms > 0) elapsedMs_ += ms;
    now = elapsedMs_;
    listeners = listeners_;
  }
  for (auto& l : listeners) l(now);
}

}  // namespace korvo
