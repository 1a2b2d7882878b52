#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace korvosim {

// Bytes waiting to go out on a non-blocking descriptor, at most `bps` bytes per second (0: as fast as the
// descriptor takes them).
class OutputPacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit OutputPacer(int bps = 0) : bps_(bps) {}

  void setRate(int bps);
  void push(const std::string& bytes);
  bool empty() const { return queue_.size() == offset_; }
  std::size_t waiting() const { return queue_.size() - offset_; }
  void clear();
  // Writes what the rate allows now. False when the descriptor failed (closed peer, hung-up line).
  bool flush(int fd, Clock::time_point now);
  // True when the last write was refused for a full buffer: wait for the descriptor to become writable.
  bool blocked() const { return blocked_; }
  // When the rate next lets bytes go; nothing when empty or when the rate does not hold them back.
  std::optional<Clock::time_point> nextTime(Clock::time_point now) const;

 private:
  int bps_;
  std::string queue_;
  std::size_t offset_ = 0;
  double credit_ = 0;
  Clock::time_point last_{};
  bool blocked_ = false;
};

}  // namespace korvosim
