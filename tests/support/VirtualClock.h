#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "store/Clock.h"

namespace korvo {

// Pauses return at once and move time forward. Listeners run after each advance, which lets a
// scripted device produce its bytes "while" the link code waits.
class TVirtualClock final : public TClock {
 public:
  explicit TVirtualClock(std::chrono::system_clock::time_point start = std::chrono::system_clock::time_point{
                             std::chrono::seconds{1796000000}});
  std::chrono::system_clock::time_point Now() override;
  std::int64_t MonotonicMs() override;
  void Pause(int ms) override;

  void Advance(int ms) { Pause(ms); }
  std::int64_t ElapsedMs() const;
  void SetWallClock(std::chrono::system_clock::time_point t);
  using TListener = std::function<void(std::int64_t nowMs)>;
  void OnAdvance(TListener listener);

 private:
  mutable std::mutex mutex_;
  std::chrono::system_clock::time_point wallStart_;
  std::int64_t elapsedMs_ = 0;
  std::vector<TListener> listeners_;
};

namespace test {
// The moment the machine's local clock shows this date and time.
std::chrono::system_clock::time_point LocalTime(int year, int month, int day, int hour, int minute,
                                                int second);
}  // namespace test

}  // namespace korvo
