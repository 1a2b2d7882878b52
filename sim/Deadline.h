#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

namespace korvosim {

// The earliest of the moments a front end's thread has to act at (a reply falling due, the pacer letting
// bytes go, a quiet line ending a command), and how long its poll() may wait for it.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  void consider(std::optional<Clock::time_point> t) {
    if (t && (!next_ || *t < *next_)) next_ = t;
  }
  std::optional<Clock::time_point> next() const { return next_; }
  // Milliseconds from `now`, rounded up so the thread does not wake just before the moment; -1 without one.
  int pollTimeout(Clock::time_point now) const {
    if (!next_) return -1;
    return static_cast<int>(
        std::max<long long>(0, std::chrono::ceil<std::chrono::milliseconds>(*next_ - now).count()));
  }

 private:
  std::optional<Clock::time_point> next_;
};

}  // namespace korvosim
