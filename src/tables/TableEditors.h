#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

class TDatabase;

// What became of an editor's button. A refusal changes nothing and says why; the window shows the
// reason as a warning. Database errors are raised.
enum class TEditOutcome { Stored, Deleted, Nothing, Refused };
struct TEditResult {
  TEditOutcome outcome = TEditOutcome::Nothing;
  std::string reason;  // for a refusal
};

// The digits of a masked time field: "08:00:00" gives "080000", " 8:00:00" gives " 80000".
std::string MaskDigits(std::string_view maskText);

// Holidays: nothing is stored when date and description are both empty; a date that is not four
// digits is refused.
TEditResult AddEditHoliday(TDatabase& db, const std::string& date, const std::string& desc);
TEditResult DeleteHoliday(TDatabase& db, const std::string& date);

// Time tables. Start and end are "HHMMSS" (MaskDigits of the fields); the first hour digit may be a
// blank, every other position must be a digit. An empty code stores nothing.
struct TTimeTableInput {
  std::string code, desc, start, end;
  int days = 0;
};
TEditResult AddEditTimeTable(TDatabase& db, const TTimeTableInput& in);
TEditResult DeleteTimeTable(TDatabase& db, const std::string& code);

// Access levels: the level's time tables are the codes of the ticked time-table rows, in list order.
TEditResult AddEditAccessLevel(TDatabase& db, const std::string& code, const std::string& desc,
                               const std::vector<std::int64_t>& timeTables);
// Also removes the first line equal to the code from the fmAccess list of `selectedAddr`.
TEditResult DeleteAccessLevel(TDatabase& db, const std::string& code, const std::string& selectedAddr);

// Alarms: time "HHMM" (four digits), duration 0 to 255 seconds, relay code 0 to 3, day mask.
struct TAlarmInput {
  std::string code, time;
  int duration = 1;
  int relay = 0;
  int days = 0;
};
TEditResult AddEditAlarm(TDatabase& db, const TAlarmInput& in);
TEditResult DeleteAlarm(TDatabase& db, const std::string& code);

// Expiry dates: the card (blanks around it dropped) and "DDMMYY". Nothing is stored when both are
// empty; one of them missing is refused.
TEditResult AddEditExpiry(TDatabase& db, const std::string& card, const std::string& date);
TEditResult DeleteExpiry(TDatabase& db, const std::string& card);

}  // namespace korvo
