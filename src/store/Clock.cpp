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

}  // namespace korvo
