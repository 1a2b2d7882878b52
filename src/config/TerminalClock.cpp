#include "config/TerminalClock.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "link/CommandText.h"
#include "link/LinkContext.h"
#include "link/LinkServices.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Database.h"
#include "store/MonthlyLog.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

constexpr std::size_t kClockDigits = 14;

bool AllDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits, std::size_t pos, std::size_t len) {
  int n = 0;
  for (char c : digits.substr(pos, len)) n = n * 10 + (c - '0');
  return n;
}

// A silent terminal's line comes back as the link's "--" alone.
bool Unanswered(const std::string& reply) {
  return TrimControl(reply) == "--";
}

bool StopRequested(const TLinkContext& link) {
  return link.StopRequested && link.StopRequested();
}

void LogSet(const TClockJob& job, const std::string& address, const std::string& timeText) {
  job.WriteLog("Set DateTime " + address + " : " + timeText + ".", true);
}

}  // namespace

std::string ClockText(std::chrono::system_clock::time_point t) {
  const TLocalTime l = ToLocal(t);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d, %02d:%02d:%02d", l.year, l.month, l.day, l.hour, l.minute,
                l.second);
  return buf;
}

std::string ClockDigitsText(const std::string& d) {
  if (d.size() != kClockDigits || !AllDigits(d)) return d;
  return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2) + ", " + d.substr(8, 2) + ":" +
         d.substr(10, 2) + ":" + d.substr(12, 2);
}

std::optional<std::string> TimeCommandDigits(std::string_view timeText) {
  std::string d;
  for (char c : timeText)
    if (c != '-' && c != ',' && c != ':' && c != ' ') d += c;
  // A wrong date or time must never reach the terminal: it would run on a clock that does not exist.
  if (d.size() != kClockDigits || !AllDigits(d)) return std::nullopt;
  using namespace std::chrono;
  const int y = Number(d, 0, 4);
  const year_month_day date{year{y}, month{static_cast<unsigned>(Number(d, 4, 2))},
                            day{static_cast<unsigned>(Number(d, 6, 2))}};
  if (y < 1 || !date.ok()) return std::nullopt;
  if (Number(d, 8, 2) > 23 || Number(d, 10, 2) > 59 || Number(d, 12, 2) > 59) return std::nullopt;
  const unsigned weekdayDigit = weekday{sys_days{date}}.c_encoding();  // 0 = Sunday
  return d.substr(0, 8) + std::to_string(weekdayDigit) + d.substr(8);
}

std::string ReadTerminalTime(TLinkContext& link, const std::string& address) {
  try {
    std::string reply = SendCommand(link, address, "TIME");
    if (Unanswered(reply)) return kClockPlaceholder;
    // yyyymmdd d hhmmss and the line end: without the day of week and what follows the time.
    if (reply.size() > 8) reply.erase(8, 1);
    if (reply.size() > kClockDigits) reply.erase(kClockDigits, 2);
    // Anything else (a refusal, a cut-off line) is no clock, and is not shown as one.
    if (reply.size() != kClockDigits || !AllDigits(reply)) return kClockPlaceholder;
    return reply;
  } catch (const std::exception&) {
    return kClockPlaceholder;
  }
}

TClockSet SendTerminalTime(TLinkContext& link, const std::string& address, const std::string& timeText) {
  const auto digits = TimeCommandDigits(timeText);
  if (!digits) return TClockSet::Refused;
  const std::string reply = SendCommand(link, address, "TIME " + *digits);
  if (Unanswered(reply)) return TClockSet::Silent;
  return Contains(reply, "?") ? TClockSet::Failed : TClockSet::Accepted;
}

bool SetTerminalTime(TLinkContext& link, const std::string& address, const std::string& timeText) {
  return SendTerminalTime(link, address, timeText) == TClockSet::Accepted;
}

TClockJob ClockJobOf(TDM& dm) {
  return {dm.Link, dm.ADOC,
          [&dm](const std::string& message, bool stamped) { dm.WriteLog(message, stamped); }};
}

TClockSetReport SetTimeOnTerminals(const TClockJob& job, const TClockTarget& current, bool all,
                                   const std::string& timeText,
                                   const std::function<void(const std::string& location)>& showLocation) {
  TClockSetReport report;
  try {
    const std::vector<TClockTarget> targets = all ? TerminalsByAddress(job.Db) : std::vector{current};
    for (const auto& target : targets) {
      job.Link.Ui.ProcessMessages();
      if (StopRequested(job.Link)) {
        report.stopped = true;
        break;
      }
      showLocation(target.location);
      const TClockSet result = SendTerminalTime(job.Link, target.address, timeText);
      // The line records the attempt: a refused text is logged as typed.
      LogSet(job, target.address, timeText);
      report.results.push_back({target, result});
    }
    if (!report.stopped && !report.results.empty())
      report.lastClock = ReadTerminalTime(job.Link, report.results.back().target.address);
  } catch (...) {
    showLocation(current.location);
    throw;
  }
  showLocation(current.location);
  return report;
}

void SynchronizeAllTerminals(const TClockJob& job) {
  try {
    job.WriteLog("Synchronize Time", true);
    // One reading for all: every terminal gets the same time.
    const std::string timeText = ClockText(job.Link.Clock.Now());
    for (const auto& target : TerminalsByAddress(job.Db)) {
      job.Link.Ui.ProcessMessages();
      if (StopRequested(job.Link)) return;
      SendTerminalTime(job.Link, target.address, timeText);
      LogSet(job, target.address, timeText);
    }
  } catch (const std::exception&) {
    // A terminal that cannot be reached must not hold up the start.
  }
}

}  // namespace korvo
