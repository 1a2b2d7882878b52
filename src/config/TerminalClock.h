#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TerminalList.h"

namespace korvo {

struct TLinkContext;
class TDatabase;
class TDM;

// The clock text of a terminal whose clock could not be read.
inline constexpr const char* kClockPlaceholder = "??????????????";

// A clock reading as the clock window shows the PC clock and sends it: "yyyy-mm-dd, hh:mm:ss".
std::string ClockText(std::chrono::system_clock::time_point t);
// The 14 digits of a terminal clock text in the same form; any other text as it is.
std::string ClockDigitsText(const std::string& digits);

// The 15 digits that follow "TIME ": the date, its day of week (0 = Sunday ... 6 = Saturday) and the
// time. The text loses its "-", ",", ":" and blanks first; nothing comes back unless 14 digits of a
// real date (year 1 to 9999) and time (hh 00-23, mm and ss 00-59) remain.
std::optional<std::string> TimeCommandDigits(std::string_view timeText);

// The terminal's clock as 14 digits yyyymmddhhmmss, or kClockPlaceholder when the terminal did not
// answer, answered something that is no clock, or the conversation could not be held.
std::string ReadTerminalTime(TLinkContext& link, const std::string& address);

// What became of setting one terminal's clock.
enum class TClockSet {
  Refused,  // the time text is no date and time: nothing was sent
  Silent,   // the terminal did not answer
  Failed,   // its answer holds "?"
  Accepted
};
// Sends "TIME " + TimeCommandDigits(timeText). Link errors (an unknown address, a busy line) are
// raised.
TClockSet SendTerminalTime(TLinkContext& link, const std::string& address, const std::string& timeText);
// True only when the terminal answered without a "?".
bool SetTerminalTime(TLinkContext& link, const std::string& address, const std::string& timeText);

// What the clock jobs use: the link (its clock is the PC clock), the database for the list of
// terminals, and the monthly log.
struct TClockJob {
  TLinkContext& Link;
  TDatabase& Db;
  std::function<void(const std::string& message, bool stamped)> WriteLog;
};
TClockJob ClockJobOf(TDM& dm);

using TClockTarget = TTerminalEntry;

struct TClockSetReport {
  struct TResult {
    TClockTarget target;
    TClockSet result;
  };
  std::vector<TResult> results;
  // The last terminal's clock read after the set (it may be the placeholder); empty when no terminal
  // was set or the job stopped before the end.
  std::string lastClock;
  bool stopped = false;
};

// Sets `current`, or every terminal when `all`, to the same time text, one after the other: window
// messages are let through before each, `showLocation` is told its location, and the log gets
// "Set DateTime " + address + " : " + text + "." whatever came of it. The last terminal's clock is
// read back. `showLocation` gets `current`'s location at the end, also when an error ends the job
// (the error is raised again). A stop request ends the job before the next terminal.
TClockSetReport SetTimeOnTerminals(const TClockJob& job, const TClockTarget& current, bool all,
                                   const std::string& timeText,
                                   const std::function<void(const std::string& location)>& showLocation);

// The start-up synchronisation: "Synchronize Time", then every terminal in ascending address order
// set to the PC clock as read once at the start, each with its "Set DateTime" line. An error ends it
// without a word.
void SynchronizeAllTerminals(const TClockJob& job);

}  // namespace korvo
