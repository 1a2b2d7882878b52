#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/TableRecords.h"

namespace korvo {

class TDatabase;

// The pages of the Tables window, by their index.
enum class TTablePage {
  Holidays,
  Access,
  Alarm,
  Blacklist,
  Message,
  Special,
  Biometrics,
  Admin,
  IDCard,
  Expired
};
inline constexpr int kTablePageCount = 10;

struct TTablePageInfo {
  const char* caption;
  const char* listField;  // the list field of tTerminals that holds the page's ticks
  const char* fileName;   // the terminal file SEND replaces; empty for the templates' page
  bool listPage;          // the page shows the terminal of "As :" (ListAddr)
  bool sorted;            // the records go out in text order
};
const TTablePageInfo& PageInfo(TTablePage page);
// A page by its caption in any letter case, its index, or "IDCard" for the ID <=> Card page.
std::optional<TTablePage> TablePageByName(std::string_view name);

template <class T>
struct TTicked {
  T row;
  bool ticked = false;
};

// One page as the window shows it: its rows as records, each with its tick. Only the page's own
// rows are filled; the Access page has the levels and the time tables.
struct TTablePageModel {
  TTablePage page = TTablePage::Holidays;
  std::string address;  // the terminal whose lists gave the ticks
  std::vector<TTicked<THoliday>> holidays;
  std::vector<TTicked<TAccessLevel>> levels;
  std::vector<TTicked<TTimeTable>> timeTables;
  std::vector<TTicked<TAlarm>> alarms;
  std::vector<TTicked<TCardRow>> cards;  // Blacklist, Message, Special, Biometrics, Admin, ID <=> Card
  std::vector<TTicked<TExpiry>> expiries;
};

// Told each progress notice of a cardholder list: "0-" + the count, then each row's position.
using TProgressFn = std::function<void(const std::string& notice)>;

// The page's rows with their ticks for the terminal `address` (SelectedAddr for the first three
// pages, ListAddr for the others). A terminal without a row ticks nothing.
TTablePageModel LoadTablePage(TDatabase& db, TTablePage page, const std::string& address,
                              const TProgressFn& progress = {});

// The tick rules: a row is ticked when some line of the terminal's list ...
// ... contains the holiday's date;
bool HolidayTicked(const std::vector<std::string>& lines, const THoliday& h);
// ... equals the level's code;
bool LevelTicked(const std::vector<std::string>& lines, const TAccessLevel& level);
// ... contains the alarm's file record;
bool AlarmTicked(const std::vector<std::string>& lines, const TAlarm& a);
// ... equals the card (Blacklist, Special, Admin, Biometrics);
bool CardTicked(const std::vector<std::string>& lines, const std::string& card);
// ... is the card with zeros to nine characters followed by six characters of a date.
bool ExpiryTicked(const std::vector<std::string>& lines, const TExpiry& e);
// A time table is ticked when an existing level named in the terminal's fmAccess lists its code.
bool TimeTableTickedByLevels(const std::vector<std::string>& accessLines,
                             const std::vector<TAccessLevel>& levels, const TTimeTable& t);

// Message and ID <=> Card lines hold two values run together. A line belongs to the rows whose key
// is its longest prefix among all rows' keys (an empty key owns nothing); what follows the key is the
// line's value. For each key: the value of the first line it owns, or nothing.
std::vector<std::optional<std::string>> LineValuesByPrefix(const std::vector<std::string>& keys,
                                                           const std::vector<std::string>& lines);
// The keys: the message line's card (its first 16 characters without trailing blanks), and the ID
// number run together with the card.
std::string MessageCard(const TCardRow& row);
std::string IDCardLine(const TCardRow& row);

// The address of the first terminal with this location, as "As :" finds it.
std::optional<std::string> AddressOfLocation(TDatabase& db, const std::string& location);

// Check-all boxes and the "!" buttons.
template <class T>
void TickAll(std::vector<TTicked<T>>& rows, bool ticked) {
  for (auto& r : rows) r.ticked = ticked;
}
template <class T>
void ReverseTicks(std::vector<TTicked<T>>& rows) {
  for (auto& r : rows) r.ticked = !r.ticked;
}

}  // namespace korvo
