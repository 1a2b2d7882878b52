#pragma once

#include <chrono>
#include <cstdint>

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

}  // namespace korvo
