#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace korvo {

// Every pause and every reading of the time in the core goes through a clock object, so the fixed
// pauses and poll counts of the line protocol can be run against virtual time in tests.
class TClock {
 public:
  virtual ~TClock() = default;
  // Wall-clock time: log stamps, terminal clock setting, file names.
  virtual std::chrono::system_clock::time_point Now() = 0;
  // Monotonic milliseconds for measuring limits and idle times.
  virtual std::int64_t MonotonicMs() = 0;
  virtual void Pause(int ms) = 0;
};

class TRealClock final : public TClock {
 public:
  std::chrono::system_clock::time_point Now() override;
  std::int64_t MonotonicMs() override;
  void Pause(int ms) override;
};

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
  std::int64_t TotalPausedMs() const { return ElapsedMs(); }
  void SetWallClock(std::chrono::system_clock::time_point t);
  using TListener = std::function<void(std::int64_t nowMs)>;
  void OnAdvance(TListener listener);

 private:
  mutable std::mutex mutex_;
  std::chrono::system_clock::time_point wallStart_;
  std::int64_t elapsedMs_ = 0;
  std::vector<TListener> listeners_;
};

}  // namespace korvo
