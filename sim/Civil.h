#pragma once

#include <cstdint>

namespace korvosim {

// A calendar date and time of day, as the terminal's clock chip keeps it (no time zone).
struct CivilTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day);
CivilTime civilFromSeconds(std::int64_t seconds);
std::int64_t secondsFromCivil(const CivilTime& t);
// 0 = Sunday ... 6 = Saturday.
int weekday(int year, int month, int day);
bool validCivil(const CivilTime& t);
// The host's local time now.
CivilTime localNow();

}  // namespace korvosim
