#include "support/VirtualClock.h"

#include <ctime>

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

namespace test {
std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute,
                                                int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}
}  // namespace test

}  // namespace korvo
