#include "tables/RowTexts.h"

#include "tables/TableText.h"

namespace korvo {
namespace {

int Len(const std::string& text) {
  return static_cast<int>(CharCount(text));
}

// The eight day boxes take what the day text of the mask shows.
int ShownDays(int days) {
  return DayMaskValue(DayMaskText(days));
}

}  // namespace

std::string HolidayRowText(const THoliday& h) {
  return Blanks(3) + h.date + Blanks(3) + h.desc;
}

std::string AccessLevelRowText(const TAccessLevel& level) {
  const std::string code = std::to_string(level.code);
  return Blanks(5 - Len(code)) + code + Blanks(3 - Len(code)) + level.desc;
}

std::string TimeTableRowText(const TTimeTable& t) {
  const std::string code = std::to_string(t.code);
  return Blanks(5 - Len(code)) + code + Blanks(3 - Len(code)) + t.desc + Blanks(32 - Len(t.desc)) + t.start +
         Blanks(7 - Len(t.start)) + t.end + Blanks(7 - Len(t.end)) + DayMaskText(t.days);
}

std::string AlarmRowText(const TAlarm& a) {
  const std::string code = std::to_string(a.code);
  const std::string duration = std::to_string(a.duration);
  const std::string relay = RelayDigit(a.relay);
  return Blanks(3) + code + Blanks(8 - Len(code)) + a.time + Blanks(19 - Len(a.time) - Len(duration)) +
         duration + Blanks(11) + relay + Blanks(12 - Len(relay)) + DayMaskText(a.days);
}

std::string MessageName(const TCardRow& row) {
  return TrimRight(FirstChars(row.name, 30));
}

std::string MessageRowText(const TCardRow& row) {
  const std::string name = MessageName(row);
  return " " + row.card + Blanks(19 - Len(row.card)) + name + Blanks(31 - Len(name)) + row.message;
}

std::string IDCardRowText(const TCardRow& row) {
  return " " + row.idNo + Blanks(33 - Len(row.idNo)) + row.card;
}

std::string ExpiryRowText(const TExpiry& e) {
  return " " + e.card + Blanks(31 - Len(e.card)) + e.date;
}

THolidayEditor HolidayEditorOf(const THoliday& h) {
  return {h.date, WordsWithBlanks(h.desc)};
}

TAccessEditor AccessEditorOf(const TAccessLevel& level) {
  return {std::to_string(level.code), WordsWithBlanks(level.desc)};
}

void TickTimeTablesOf(std::vector<TTicked<TTimeTable>>& timeTables, const TAccessLevel& level) {
  for (auto& t : timeTables) {
    t.ticked = false;
    for (const auto& line : level.timeTables)
      if (line == std::to_string(t.row.code)) t.ticked = true;
  }
}

TTimeTableEditor TimeTableEditorOf(const TTimeTable& t) {
  return {std::to_string(t.code), WordsWithBlanks(t.desc), t.start, t.end, ShownDays(t.days)};
}

TAlarmEditor AlarmEditorOf(const TAlarm& a) {
  return {std::to_string(a.code),       a.time,           a.duration, a.relay == 1 || a.relay == 3,
          a.relay == 2 || a.relay == 3, ShownDays(a.days)};
}

TExpiryEditor ExpiryEditorOf(const TExpiry& e) {
  return {e.card, e.date};
}

}  // namespace korvo
