#include <gtest/gtest.h>

#include <ctime>

#include "support/VirtualClock.h"
#include "store/MonthlyLog.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;

std::chrono::system_clock::time_point LocalTime(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

TEST(MonthlyLog, StampedAndUnstampedLinesInTheMonthsFile) {
  TTempFolder dir;
  TVirtualClock clock(LocalTime(2026, 12, 9, 7, 5, 3));
  TMonthlyLog log(dir.Path(), clock);
  log.WriteLog("Running KORVO2K/Bio UTILITY.", true);
  log.WriteLog("", false);
  log.WriteLog("indented", false);
  EXPECT_EQ(dir.Read("LOG_1226.TXT"), "09/12/2026 07:05:03  Running KORVO2K/Bio UTILITY.\r\n" +
                                          std::string(21, ' ') + "\r\n" + std::string(21, ' ') +
                                          "indented\r\n");
  EXPECT_EQ(log.CurrentPath(), dir.File("LOG_1226.TXT"));
}

TEST(MonthlyLog, ANewMonthStartsANewFile) {
  TTempFolder dir;
  TVirtualClock clock(LocalTime(2026, 12, 31, 23, 59, 59));
  TMonthlyLog log(dir.Path(), clock);
  log.WriteLog("last", true);
  clock.Advance(2000);
  log.WriteLog("first", true);
  EXPECT_EQ(dir.Read("LOG_1226.TXT"), "31/12/2026 23:59:59  last\r\n");
  EXPECT_EQ(dir.Read("LOG_0127.TXT"), "01/01/2027 00:00:01  first\r\n");
}

TEST(MonthlyLog, AFolderThatCannotBeWrittenIsIgnored) {
  TVirtualClock clock;
  TMonthlyLog log("/nonexistent-folder-for-korvo/", clock);
  EXPECT_NO_THROW(log.WriteLog("lost", true));
}

}  // namespace
}  // namespace korvo
