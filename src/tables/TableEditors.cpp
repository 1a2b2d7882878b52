#include "tables/TableEditors.h"

#include <charconv>
#include <optional>

#include "store/Database.h"
#include "store/RecordServices.h"
#include "store/TextCodec.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

constexpr std::size_t kDescChars = 30;

TEditResult Refused(std::string reason) {
  return {TEditOutcome::Refused, std::move(reason)};
}
TEditResult Stored() {
  return {TEditOutcome::Stored, {}};
}
TEditResult Deleted() {
  return {TEditOutcome::Deleted, {}};
}
TEditResult Nothing() {
  return {};
}

bool Digits(std::string_view text, std::size_t count) {
  if (text.size() != count) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A time field: the first digit may be left blank, every other one must be there.
bool TimeDigits(std::string_view text, std::size_t count) {
  return text.size() == count && (text[0] == ' ' || Digits(text.substr(0, 1), 1)) &&
         Digits(text.substr(1), count - 1);
}

std::optional<std::int64_t> Code(const std::string& text) {
  const std::string t = TrimControl(text);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::string NotACode(const std::string& text) {
  return "'" + TrimControl(text) + "' is not a valid code: a code is a whole number.";
}

// Why a description cannot be stored, or empty.
std::string DescReason(const std::string& desc) {
  if (CharCount(desc) > kDescChars) return "A description holds at most 30 characters.";
  return UnsafeTextReason(desc, "description");
}

TCondition Where(const char* field, TValue value) {
  return TCondition(std::string(field) + " = ?", {std::move(value)});
}

}  // namespace

std::string MaskDigits(std::string_view maskText) {
  std::string out;
  for (char c : maskText)
    if (c != ':') out += c;
  return out;
}

TEditResult AddEditHoliday(TDatabase& db, const std::string& date, const std::string& desc) {
  if (TrimControl(date).empty() && TrimControl(desc).empty()) return Nothing();
  if (!Digits(date, 4)) return Refused("A holiday needs its date: four digits, DDMM.");
  if (std::string reason = DescReason(desc); !reason.empty()) return Refused(reason);
  TQuery q(db);
  if (OpenAndSeek(q, "tHoliday", date, "fsDate"))
    UpdateRecord(q, "tHoliday", Where("fsDate", TextValue(date)), {TextValue(desc)}, {"fsDesc"});
  else
    InsertRecord(q, "tHoliday", {TextValue(date), TextValue(desc)}, {"fsDate", "fsDesc"});
  return Stored();
}

TEditResult DeleteHoliday(TDatabase& db, const std::string& date) {
  TQuery q(db);
  DeleteRecords(q, "tHoliday", Where("fsDate", TextValue(date)));
  return Deleted();
}

TEditResult AddEditTimeTable(TDatabase& db, const TTimeTableInput& in) {
  if (TrimControl(in.code).empty()) return Nothing();
  const auto code = Code(in.code);
  if (!code) return Refused(NotACode(in.code));
  if (std::string reason = DescReason(in.desc); !reason.empty()) return Refused(reason);
  if (!TimeDigits(in.start, 6)) return Refused("A time table needs its start time: HH:MM:SS.");
  if (!TimeDigits(in.end, 6)) return Refused("A time table needs its end time: HH:MM:SS.");
  TQuery q(db);
  const TValue mask = IntValue(in.days & 0xFF);
  if (OpenAndSeek(q, "tTimeTable", std::to_string(*code), "fnTTCode"))
    UpdateRecord(q, "tTimeTable", Where("fnTTCode", IntValue(*code)),
                 {TextValue(in.desc), TextValue(in.start), TextValue(in.end), mask},
                 {"fsTTDesc", "fsTTStart", "fsTTEnd", "fnTTDay"});
  else
    InsertRecord(q, "tTimeTable",
                 {IntValue(*code), TextValue(in.desc), TextValue(in.start), TextValue(in.end), mask},
                 {"fnTTCode", "fsTTDesc", "fsTTStart", "fsTTEnd", "fnTTDay"});
  return Stored();
}

TEditResult DeleteTimeTable(TDatabase& db, const std::string& code) {
  if (TrimControl(code).empty()) return Nothing();
  const auto value = Code(code);
  if (!value) return Refused(NotACode(code));
  TQuery q(db);
  DeleteRecords(q, "tTimeTable", Where("fnTTCode", IntValue(*value)));
  return Deleted();
}

TEditResult AddEditAccessLevel(TDatabase& db, const std::string& code, const std::string& desc,
                               const std::vector<std::int64_t>& timeTables) {
  if (TrimControl(code).empty()) return Nothing();
  const auto value = Code(code);
  if (!value) return Refused(NotACode(code));
  if (std::string reason = DescReason(desc); !reason.empty()) return Refused(reason);
  std::vector<std::string> lines;
  for (std::int64_t t : timeTables) lines.push_back(std::to_string(t));
  const TValue list = TextValue(ListText(lines, "\r"));
  TQuery q(db);
  if (OpenAndSeek(q, "tAccess", std::to_string(*value), "fnAcsCode"))
    UpdateRecord(q, "tAccess", Where("fnAcsCode", IntValue(*value)), {TextValue(desc), list},
                 {"fsAcsDesc", "fmAcsTTLst"});
  else
    InsertRecord(q, "tAccess", {IntValue(*value), TextValue(desc), TextValue(""), list},
                 {"fnAcsCode", "fsAcsDesc", "fsAcsSpare", "fmAcsTTLst"});
  return Stored();
}

TEditResult DeleteAccessLevel(TDatabase& db, const std::string& code, const std::string& selectedAddr) {
  if (TrimControl(code).empty()) return Nothing();
  const auto value = Code(code);
  if (!value) return Refused(NotACode(code));
  TQuery q(db);
  DeleteRecords(q, "tAccess", Where("fnAcsCode", IntValue(*value)));
  std::vector<std::string> access = ReadTerminalList(db, selectedAddr, "fmAccess");
  for (auto it = access.begin(); it != access.end(); ++it) {
    if (*it != std::to_string(*value)) continue;
    access.erase(it);
    break;
  }
  WriteTerminalList(db, selectedAddr, "fmAccess", access);
  return Deleted();
}

TEditResult AddEditAlarm(TDatabase& db, const TAlarmInput& in) {
  if (TrimControl(in.code).empty()) return Nothing();
  const auto code = Code(in.code);
  if (!code) return Refused(NotACode(in.code));
  if (!Digits(in.time, 4)) return Refused("An alarm needs its time: HH:MM.");
  if (in.duration < 0 || in.duration > 255) return Refused("An alarm lasts 0 to 255 seconds.");
  if (in.relay < 0 || in.relay > 3) return Refused("An alarm's relay code is 0 to 3.");
  TQuery q(db);
  const std::vector<TValue> values{TextValue(in.time), IntValue(in.duration), IntValue(in.relay),
                                   IntValue(in.days & 0xFF)};
  if (OpenAndSeek(q, "tAlarm", std::to_string(*code), "fnAlarmCode")) {
    UpdateRecord(q, "tAlarm", Where("fnAlarmCode", IntValue(*code)), values,
                 {"fsAlarmTime", "fnAlarmDur", "fnAlarmRelay", "fnAlarmDay"});
  } else {
    std::vector<TValue> row{IntValue(*code)};
    row.insert(row.end(), values.begin(), values.end());
    InsertRecord(q, "tAlarm", row,
                 {"fnAlarmCode", "fsAlarmTime", "fnAlarmDur", "fnAlarmRelay", "fnAlarmDay"});
  }
  return Stored();
}

TEditResult DeleteAlarm(TDatabase& db, const std::string& code) {
  if (TrimControl(code).empty()) return Nothing();
  const auto value = Code(code);
  if (!value) return Refused(NotACode(code));
  TQuery q(db);
  DeleteRecords(q, "tAlarm", Where("fnAlarmCode", IntValue(*value)));
  return Deleted();
}

TEditResult AddEditExpiry(TDatabase& db, const std::string& card, const std::string& date) {
  const std::string c = TrimControl(card);
  if (c.empty() && TrimControl(date).empty()) return Nothing();
  if (c.empty()) return Refused("An expiry date needs its card number.");
  if (CharCount(c) > 30) return Refused("A card number holds at most 30 characters.");
  if (std::string reason = UnsafeTextReason(c, "card number"); !reason.empty()) return Refused(reason);
  if (!Digits(date, 6)) return Refused("An expiry date needs its date: six digits, DDMMYY.");
  TQuery q(db);
  if (OpenAndSeek(q, "tExpired", c, "fsCardNo"))
    UpdateRecord(q, "tExpired", Where("fsCardNo", TextValue(c)), {TextValue(date)}, {"fsExpired"});
  else
    InsertRecord(q, "tExpired", {TextValue(c), TextValue(date)}, {"fsCardNo", "fsExpired"});
  return Stored();
}

TEditResult DeleteExpiry(TDatabase& db, const std::string& card) {
  TQuery q(db);
  DeleteRecords(q, "tExpired", Where("fsCardNo", TextValue(TrimControl(card))));
  return Deleted();
}

}  // namespace korvo
