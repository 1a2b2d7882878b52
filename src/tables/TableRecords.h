#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvo {

class TDatabase;

// The rows of the schedule tables and of the cardholders as the Tables window keeps them: as
// records, never read back out of a row's display text.
struct THoliday {
  std::string date;  // fsDate, four digits "DDMM"
  std::string desc;  // fsDesc
};

struct TTimeTable {
  std::int64_t code = 0;  // fnTTCode
  std::string desc;       // fsTTDesc
  std::string start;      // fsTTStart "HHMMSS", the first digit may be a blank
  std::string end;        // fsTTEnd
  int days = 0;           // fnTTDay, a day mask
};

struct TAccessLevel {
  std::int64_t code = 0;                // fnAcsCode
  std::string desc;                     // fsAcsDesc
  std::vector<std::string> timeTables;  // fmAcsTTLst, the codes of its time tables
};

struct TAlarm {
  std::int64_t code = 0;  // fnAlarmCode
  std::string time;       // fsAlarmTime "HHMM"
  int duration = 1;       // fnAlarmDur, seconds
  int relay = 0;          // fnAlarmRelay, a relay code
  int days = 0;           // fnAlarmDay, a day mask
};

struct TExpiry {
  std::string card;  // fsCardNo
  std::string date;  // fsExpired "DDMMYY"
};

// A cardholder row of the list pages.
struct TCardRow {
  std::string card;          // fsCardNo
  std::string name;          // fsName
  std::string idNo;          // fsIDNo
  bool hasTemplate = false;  // fmBioData holds a template
  std::string message;       // Message page only: what the terminal shows for the card
};

// In the order the pages show them.
std::vector<THoliday> ReadHolidays(TDatabase& db);
std::vector<TTimeTable> ReadTimeTables(TDatabase& db);
std::vector<TAccessLevel> ReadAccessLevels(TDatabase& db);
std::vector<TAlarm> ReadAlarms(TDatabase& db);
std::vector<TExpiry> ReadExpiries(TDatabase& db);
// Every cardholder by name.
std::vector<TCardRow> ReadCardRows(TDatabase& db);

// The records of the terminal files.
// Time table: start, end, day mask "%.3d" ("080000170000124"). Start and end go as their digits: a
// blank first hour digit is not sent, so that record is 14 characters long.
std::string TimeTableFileRecord(const TTimeTable& t);
// Alarm: day mask "%.3d", time, relay digit, duration "%.5d" ("1240730100005").
std::string AlarmFileRecord(const TAlarm& a);
// Black list, special users, administrators: the card with zeros to nine characters.
std::string CardFileRecord(const std::string& card);
// A message line (card and message run together): its first `cardDigits` characters with zeros to
// nine, then the rest in sixteen characters.
std::string MessageFileRecord(const std::string& line, int cardDigits);
// The expiry line and record: the card with zeros to nine characters, never cut, then the date.
std::string ExpiryLine(const TExpiry& e);

}  // namespace korvo
