#include "tables/TableRecords.h"

#include <charconv>
#include <cstdio>

#include "store/Database.h"
#include "store/TextCodec.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

int Int(TQuery& q, const char* field) {
  return static_cast<int>(q.FieldByName(field).AsInteger());
}

// What a word-wise reading of a row keeps of a value: its characters without the blanks.
std::string Unblanked(const std::string& text) {
  std::string out;
  for (const auto& word : Words(text)) out += word;
  return out;
}

std::string Mask3(int days) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.3d", DayMaskValue(DayMaskText(days)));
  return buf;
}

}  // namespace

std::vector<THoliday> ReadHolidays(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tHoliday ORDER BY fsDate");
  q.Open();
  std::vector<THoliday> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.FieldByName("fsDate").AsString(), q.FieldByName("fsDesc").AsString()});
  return rows;
}

std::vector<TTimeTable> ReadTimeTables(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tTimeTable ORDER BY fnTTCode");
  q.Open();
  std::vector<TTimeTable> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.FieldByName("fnTTCode").AsInteger(), q.FieldByName("fsTTDesc").AsString(),
                    q.FieldByName("fsTTStart").AsString(), q.FieldByName("fsTTEnd").AsString(),
                    Int(q, "fnTTDay")});
  return rows;
}

std::vector<TAccessLevel> ReadAccessLevels(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tAccess ORDER BY fnAcsCode");
  q.Open();
  std::vector<TAccessLevel> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.FieldByName("fnAcsCode").AsInteger(), q.FieldByName("fsAcsDesc").AsString(),
                    ListLines(q.FieldByName("fmAcsTTLst").AsString())});
  return rows;
}

std::vector<TAlarm> ReadAlarms(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tAlarm ORDER BY fnAlarmCode");
  q.Open();
  std::vector<TAlarm> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.FieldByName("fnAlarmCode").AsInteger(), q.FieldByName("fsAlarmTime").AsString(),
                    Int(q, "fnAlarmDur"), Int(q, "fnAlarmRelay"), Int(q, "fnAlarmDay")});
  return rows;
}

std::vector<TExpiry> ReadExpiries(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tExpired ORDER BY fsCardNo");
  q.Open();
  std::vector<TExpiry> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.FieldByName("fsCardNo").AsString(), q.FieldByName("fsExpired").AsString()});
  return rows;
}

std::vector<TCardRow> ReadCardRows(TDatabase& db) {
  TQuery q(db);
  // Only whether a template is there: the templates themselves stay in the database.
  q.SetSQL(
      "SELECT fsCardNo, fsName, fsIDNo, (fmBioData IS NOT NULL AND fmBioData <> '') AS fbTemplate "
      "FROM tEmployees ORDER BY fsName");
  q.Open();
  std::vector<TCardRow> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.Field(0).AsString(),
                    q.Field(1).AsString(),
                    q.Field(2).AsString(),
                    q.Field(3).AsInteger() != 0,
                    {}});
  return rows;
}

std::string TimeTableFileRecord(const TTimeTable& t) {
  return Unblanked(t.start) + Unblanked(t.end) + Mask3(t.days);
}

std::string AlarmFileRecord(const TAlarm& a) {
  char duration[32];
  std::snprintf(duration, sizeof duration, "%.5d", a.duration);
  return Mask3(a.days) + Unblanked(a.time) + RelayDigit(a.relay) + duration;
}

std::string CardFileRecord(const std::string& card) {
  return PadZeros(card, 9);
}

std::string MessageFileRecord(const std::string& line, int cardDigits) {
  const auto digits = static_cast<std::size_t>(cardDigits < 0 ? 0 : cardDigits);
  return PadZeros(FirstChars(line, digits), 9) + PadSpaces(AfterChars(line, digits), 16);
}

std::string ExpiryLine(const TExpiry& e) {
  return PadZeros(e.card, 9) + e.date;
}

}  // namespace korvo
