#include "tables/TablePages.h"

#include <array>

#include "store/Database.h"
#include "store/TextCodec.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {
namespace {

constexpr std::array<TTablePageInfo, kTablePageCount> kPages = {{
    {"Holidays", "fmHoliday", "HOLITBL.DAT", false, true},
    {"Access", "fmAccess", "AXTIMET.DAT", false, false},
    {"Alarm", "fmAlarm", "ALARMTB.DAT", false, false},
    {"Blacklist", "fmBlackLst", "BLGROUP.DAT", true, true},
    {"Message", "fmMessage", "AXMSGTB.DAT", true, true},
    {"Special", "fmSPCEnroll", "SPCUSER.DAT", true, true},
    {"Biometrics", "fmBioUsrLst", "", true, false},
    {"Admin", "fmAdminLst", "ADMINTB.DAT", true, true},
    {"ID <=> Card", "fmIDCard", "IDLOOKUP", true, false},
    {"Expired", "fmExpired", "EXPDATE.DAT", true, true},
}};

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

bool AnyLineContains(const std::vector<std::string>& lines, const std::string& value) {
  if (value.empty()) return false;
  for (const auto& line : lines)
    if (line.find(value) != std::string::npos) return true;
  return false;
}

bool AnyLineEquals(const std::vector<std::string>& lines, const std::string& value) {
  for (const auto& line : lines)
    if (line == value) return true;
  return false;
}

template <class T, class F>
std::vector<TTicked<T>> Ticked(std::vector<T> rows, F rule) {
  std::vector<TTicked<T>> out;
  out.reserve(rows.size());
  for (auto& row : rows) {
    const bool ticked = rule(row);
    out.push_back({std::move(row), ticked});
  }
  return out;
}

void LoadCards(TDatabase& db, TTablePageModel& m, const std::vector<std::string>& lines,
               const TProgressFn& progress) {
  std::vector<TCardRow> rows = ReadCardRows(db);
  if (progress) progress("0-" + std::to_string(rows.size()));
  std::vector<std::optional<std::string>> owned;
  if (m.page == TTablePage::Message || m.page == TTablePage::IDCard) {
    std::vector<std::string> keys;
    for (const auto& row : rows)
      keys.push_back(m.page == TTablePage::Message ? MessageCard(row) : IDCardLine(row));
    owned = LineValuesByPrefix(keys, lines);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    TTicked<TCardRow> r{std::move(rows[i]), false};
    if (owned.empty()) {
      r.ticked = CardTicked(lines, r.row.card);
    } else if (owned[i]) {
      r.ticked = true;
      if (m.page == TTablePage::Message) r.row.message = *owned[i];
    }
    m.cards.push_back(std::move(r));
    if (progress) progress(std::to_string(i + 1));
  }
}

}  // namespace

const TTablePageInfo& PageInfo(TTablePage page) {
  return kPages.at(static_cast<std::size_t>(page));
}

std::optional<TTablePage> TablePageByName(std::string_view name) {
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return static_cast<TTablePage>(name[0] - '0');
  if (EqualsNoCase(name, "IDCard")) return TTablePage::IDCard;
  for (std::size_t i = 0; i < kPages.size(); ++i)
    if (EqualsNoCase(WithoutBlanks(name), WithoutBlanks(kPages[i].caption)))
      return static_cast<TTablePage>(i);
  return std::nullopt;
}

bool HolidayTicked(const std::vector<std::string>& lines, const THoliday& h) {
  return AnyLineContains(lines, h.date);
}

bool LevelTicked(const std::vector<std::string>& lines, const TAccessLevel& level) {
  return AnyLineEquals(lines, std::to_string(level.code));
}

bool AlarmTicked(const std::vector<std::string>& lines, const TAlarm& a) {
  return AnyLineContains(lines, AlarmFileRecord(a));
}

bool CardTicked(const std::vector<std::string>& lines, const std::string& card) {
  return AnyLineEquals(lines, card);
}

bool ExpiryTicked(const std::vector<std::string>& lines, const TExpiry& e) {
  const std::string card = PadZeros(e.card, 9);
  for (const auto& line : lines)
    if (line.starts_with(card) && CharCount(line) == CharCount(card) + 6) return true;
  return false;
}

bool TimeTableTickedByLevels(const std::vector<std::string>& accessLines,
                             const std::vector<TAccessLevel>& levels, const TTimeTable& t) {
  const std::string code = std::to_string(t.code);
  for (const auto& line : accessLines)
    for (const auto& level : levels)
      if (std::to_string(level.code) == line && AnyLineEquals(level.timeTables, code)) return true;
  return false;
}

std::vector<std::optional<std::string>> LineValuesByPrefix(const std::vector<std::string>& keys,
                                                           const std::vector<std::string>& lines) {
  std::vector<std::optional<std::string>> values(keys.size());
  for (const auto& line : lines) {
    std::size_t longest = 0;
    for (const auto& key : keys)
      if (!key.empty() && key.size() > longest && line.starts_with(key)) longest = key.size();
    if (longest == 0) continue;
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (!values[i] && keys[i].size() == longest && line.starts_with(keys[i]))
        values[i] = line.substr(longest);
  }
  return values;
}

std::string MessageCard(const TCardRow& row) {
  return TrimRight(FirstChars(row.card, 16));
}

std::string IDCardLine(const TCardRow& row) {
  return TrimControl(row.idNo) + TrimControl(row.card);
}

TTablePageModel LoadTablePage(TDatabase& db, TTablePage page, const std::string& address,
                              const TProgressFn& progress) {
  TTablePageModel m;
  m.page = page;
  m.address = address;
  const std::vector<std::string> lines = ReadTerminalList(db, address, PageInfo(page).listField);
  switch (page) {
    case TTablePage::Holidays:
      m.holidays = Ticked(ReadHolidays(db), [&](const THoliday& h) { return HolidayTicked(lines, h); });
      break;
    case TTablePage::Access: {
      const std::vector<TAccessLevel> levels = ReadAccessLevels(db);
      m.levels = Ticked(levels, [&](const TAccessLevel& l) { return LevelTicked(lines, l); });
      m.timeTables = Ticked(ReadTimeTables(db),
                            [&](const TTimeTable& t) { return TimeTableTickedByLevels(lines, levels, t); });
      break;
    }
    case TTablePage::Alarm:
      m.alarms = Ticked(ReadAlarms(db), [&](const TAlarm& a) { return AlarmTicked(lines, a); });
      break;
    case TTablePage::Expired:
      m.expiries = Ticked(ReadExpiries(db), [&](const TExpiry& e) { return ExpiryTicked(lines, e); });
      break;
    default:
      LoadCards(db, m, lines, progress);
      break;
  }
  return m;
}

std::optional<std::string> AddressOfLocation(TDatabase& db, const std::string& location) {
  TQuery q(db);
  q.SetSQL("SELECT fsAddr FROM tTerminals WHERE fsLocation = ? ORDER BY fsAddr", {TextValue(location)});
  q.Open();
  if (q.IsEmpty()) return std::nullopt;
  return q.Field(0).AsString();
}

}  // namespace korvo
