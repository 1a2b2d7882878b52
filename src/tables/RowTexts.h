#pragma once

#include <string>
#include <vector>

#include "tables/TablePages.h"
#include "tables/TableRecords.h"

namespace korvo {

// The fixed-column texts of the check-list rows, for a monospaced font. Names are cut to the 30
// characters of their column so that a message stays in its column.
std::string HolidayRowText(const THoliday& h);
std::string AccessLevelRowText(const TAccessLevel& level);
std::string TimeTableRowText(const TTimeTable& t);
// A relay code outside 0 to 3 shows no digit.
std::string AlarmRowText(const TAlarm& a);
std::string MessageRowText(const TCardRow& row);
std::string IDCardRowText(const TCardRow& row);
std::string ExpiryRowText(const TExpiry& e);
// The name as the Message page shows it and puts it for "%NAME%": 30 characters, no trailing blanks.
std::string MessageName(const TCardRow& row);

// What a row click puts into the page's editor. Descriptions come back word by word, each word
// followed by one blank, as the editor has always shown them.
struct THolidayEditor {
  std::string date, desc;
};
THolidayEditor HolidayEditorOf(const THoliday& h);

struct TAccessEditor {
  std::string code, desc;
};
TAccessEditor AccessEditorOf(const TAccessLevel& level);
// A click on a level ticks the time tables it lists and clears every other one.
void TickTimeTablesOf(std::vector<TTicked<TTimeTable>>& timeTables, const TAccessLevel& level);

struct TTimeTableEditor {
  std::string code, desc;
  std::string start, end;  // "HHMMSS" as stored, a blank first hour digit kept
  int days = 0;            // for the eight day boxes
};
TTimeTableEditor TimeTableEditorOf(const TTimeTable& t);

struct TAlarmEditor {
  std::string code, time;
  int duration = 1;
  bool relay1 = false, relay2 = false;
  int days = 0;
};
TAlarmEditor AlarmEditorOf(const TAlarm& a);

struct TExpiryEditor {
  std::string card, date;
};
TExpiryEditor ExpiryEditorOf(const TExpiry& e);

}  // namespace korvo
