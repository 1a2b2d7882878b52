#pragma once

#include <algorithm>
#include <cstdint>

#include "store/Clock.h"

namespace korvo {

// However a terminal answers, one reply ends after this long. The longest real reply, a TYPE of
// 65,536 records at 115200 baud, takes about two minutes; a peer trickling bytes or sending "Z"
// blocks without end would otherwise hold the job for as long as it likes.
inline constexpr int kReplyLimitMs = 5 * 60 * 1000;

// The overall limit of one reply, measured on the link's clock from its construction.
class TReplyDeadline {
 public:
  explicit TReplyDeadline(TClock& clock, int limitMs = kReplyLimitMs)
      : clock_(clock), end_(clock.MonotonicMs() + limitMs) {}
  bool Passed() const { return clock_.MonotonicMs() >= end_; }
  // What is left, at most `cap` milliseconds.
  int RemainingMs(int cap) const {
    return static_cast<int>(std::clamp<std::int64_t>(end_ - clock_.MonotonicMs(), 0, cap));
  }

 private:
  TClock& clock_;
  std::int64_t end_;
};

}  // namespace korvo
