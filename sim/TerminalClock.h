#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "Civil.h"

namespace korvosim {

// The terminal's real-time clock. It runs on from the moment it is set (or stands still when frozen) and
// keeps the day-of-week digit it was given, advancing it with the days, as a clock chip with its own weekday
// does.
class TerminalClock {
 public:
  TerminalClock();  // starts at the host's local time

  // The 15 digits yyyymmdd d hhmmss (without blanks) that "TIME" answers.
  std::string text() const;
  CivilTime now() const;
  // Sets from the 15 digits of "TIME ..."; false when they are not a real date and time.
  bool setText(std::string_view digits);
  void set(const CivilTime& t);  // the weekday follows the date
  void freeze(bool frozen);

 private:
  std::int64_t seconds() const;

  std::int64_t base_ = 0;  // civil seconds at `setAt_`
  std::chrono::steady_clock::time_point setAt_;
  int weekdayShift_ = 0;  // given weekday minus the date's own
  bool frozen_ = false;
};

}  // namespace korvosim
