#include "OutputPacer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace korvosim {

namespace {
constexpr auto kTick = std::chrono::milliseconds(5);
}

void OutputPacer::setRate(int bps) {
  bps_ = bps;
  credit_ = 0;
  last_ = {};
}

void OutputPacer::push(const std::string& bytes) {
  if (empty()) {
    queue_.clear();
    offset_ = 0;
  }
  queue_ += bytes;
}

void OutputPacer::clear() {
  queue_.clear();
  offset_ = 0;
  blocked_ = false;
}

bool OutputPacer::flush(int fd, Clock::time_point now) {
  blocked_ = false;
  while (!empty()) {
    std::size_t allowed = waiting();
    if (bps_ > 0) {
      if (last_ == Clock::time_point{}) last_ = now - kTick;
      const double seconds = std::chrono::duration<double>(now - last_).count();
      last_ = now;
      // A pause does not save up for a later burst beyond a few ticks.
      credit_ = std::min(credit_ + seconds * bps_, std::max(1.0, bps_ * 0.02));
      allowed = std::min(allowed, static_cast<std::size_t>(credit_));
      if (allowed == 0) return true;
    }
    const ssize_t n = ::write(fd, queue_.data() + offset_, allowed);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        blocked_ = true;
        return true;
      }
      return false;
    }
    offset_ += static_cast<std::size_t>(n);
    if (bps_ > 0) {
      credit_ -= static_cast<double>(n);
      return true;
    }
  }
  return true;
}

std::optional<OutputPacer::Clock::time_point> OutputPacer::nextTime(Clock::time_point now) const {
  if (empty() || bps_ <= 0 || blocked_) return std::nullopt;
  const double need = std::max(0.0, 1.0 - credit_);
  const auto wait = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(need / bps_));
  return now + std::max<Clock::duration>(wait, kTick);
}

}  // namespace korvosim
