#pragma once

#include <chrono>
#include <string>

namespace korvo {

// The date and time formats the whole program writes with: short date "YYYY/MM/DD" (date
// separator "/"), long time "hh:nn:ss" (time separator ":"), decimal separator ".". The core
// formats its own texts with these and never reads the desktop's locale.
inline constexpr const char* kShortDateFormat = "YYYY/MM/DD";
inline constexpr const char* kLongTimeFormat = "hh:nn:ss";
inline constexpr char kDateSeparator = '/';
inline constexpr char kTimeSeparator = ':';
inline constexpr char kDecimalSeparator = '.';

// Local date as "YYYY/MM/DD" and local time as "hh:nn:ss".
std::string ShortDateText(std::chrono::system_clock::time_point t);
std::string LongTimeText(std::chrono::system_clock::time_point t);

}  // namespace korvo
