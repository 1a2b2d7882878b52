#include "TerminalClock.h"

#include <cctype>
#include <cstdio>

namespace korvosim {

TerminalClock::TerminalClock() {
  set(localNow());
}

std::int64_t TerminalClock::seconds() const {
  if (frozen_) return base_;
  const auto elapsed = std::chrono::steady_clock::now() - setAt_;
  return base_ + std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
}

CivilTime TerminalClock::now() const {
  return civilFromSeconds(seconds());
}

std::string TerminalClock::text() const {
  const CivilTime t = now();
  const int dow = (weekday(t.year, t.month, t.day) + weekdayShift_ + 7) % 7;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%d%02d%02d%02d", t.year, t.month, t.day, dow, t.hour, t.minute,
                t.second);
  return buf;
}

bool TerminalClock::setText(std::string_view digits) {
  if (digits.size() != 15) return false;
  for (char c : digits)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  auto num = [&](std::size_t pos, std::size_t len) {
    int v = 0;
    for (std::size_t i = pos; i < pos + len; ++i) v = v * 10 + (digits[i] - '0');
    return v;
  };
  CivilTime t{num(0, 4), num(4, 2), num(6, 2), num(9, 2), num(11, 2), num(13, 2)};
  const int dow = num(8, 1);
  if (!validCivil(t) || dow > 6) return false;
  set(t);
  weekdayShift_ = (dow - weekday(t.year, t.month, t.day) + 7) % 7;
  return true;
}

void TerminalClock::set(const CivilTime& t) {
  base_ = secondsFromCivil(t);
  setAt_ = std::chrono::steady_clock::now();
  weekdayShift_ = 0;
}

void TerminalClock::freeze(bool frozen) {
  if (frozen == frozen_) return;
  base_ = seconds();
  setAt_ = std::chrono::steady_clock::now();
  frozen_ = frozen;
}

}  // namespace korvosim
