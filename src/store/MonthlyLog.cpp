#include "store/MonthlyLog.h"

#include "store/AtomicFile.h"

#include <cstdio>
#include <ctime>

#include "store/Clock.h"

namespace korvo {

TLocalTime ToLocal(std::chrono::system_clock::time_point t) {
  std::time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

TMonthlyLog::TMonthlyLog(std::string programFolder, TClock& clock)
    : folder_(std::move(programFolder)), clock_(clock) {}

std::string TMonthlyLog::CurrentPath() {
  TLocalTime t = ToLocal(clock_.Now());
  char name[32];
  std::snprintf(name, sizeof name, "LOG_%02d%02d.TXT", t.month, t.year % 100);
  return folder_ + name;
}

void TMonthlyLog::WriteLog(const std::string& message, bool stamped) {
  try {
    TLocalTime t = ToLocal(clock_.Now());
    char stamp[32];
    if (stamped) {
      std::snprintf(stamp, sizeof stamp, "%02d/%02d/%04d %02d:%02d:%02d  ", t.day, t.month, t.year, t.hour,
                    t.minute, t.second);
    } else {
      std::snprintf(stamp, sizeof stamp, "%21s", "");
    }
    char name[32];
    std::snprintf(name, sizeof name, "LOG_%02d%02d.TXT", t.month, t.year % 100);
    CreatePrivately(folder_ + name);
    std::FILE* f = std::fopen((folder_ + name).c_str(), "ab");
    if (!f) return;
    std::string line = std::string(stamp) + message + "\r\n";
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  } catch (...) {
    // A log line is never worth an error.
  }
}

}  // namespace korvo
