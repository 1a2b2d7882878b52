#include "main/DateTimeText.h"

#include <cstdio>

#include "store/MonthlyLog.h"

namespace korvo {

std::string ShortDateText(std::chrono::system_clock::time_point t) {
  TLocalTime l = ToLocal(t);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%c%02d%c%02d", l.year, kDateSeparator, l.month, kDateSeparator, l.day);
  return buf;
}

std::string LongTimeText(std::chrono::system_clock::time_point t) {
  TLocalTime l = ToLocal(t);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", l.hour, kTimeSeparator, l.minute, kTimeSeparator,
                l.second);
  return buf;
}

}  // namespace korvo
