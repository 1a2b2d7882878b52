#include "support/VirtualClock.h"

namespace korvo {

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
