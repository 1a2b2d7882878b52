#include "cards/CardPage.h"

#include <algorithm>
#include <exception>
#include <map>

#include "store/Database.h"
#include "store/OperatorUi.h"
#include "store/RecordServices.h"
#include "tables/ListField.h"
#include "tables/TableText.h"

namespace korvo {

const char* const kOtherTimeTables =
    "The time tables of this terminal are not those of the terminal the access group is sent to: "
    "the access masks would name other time tables there.";
const char* const kDataNotFound = "Data not Found.";

namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

TCondition CardCondition(const std::string& card) {
  return TCondition("fsCardNo=?", {TextValue(card)});
}

// The first entry of the card in the group, or group.end().
std::vector<std::string>::iterator EntryOf(std::vector<std::string>& group, const std::string& card) {
  return std::find_if(group.begin(), group.end(), [&](const std::string& line) {
    const auto e = ParseAccessEntry(line);
    return e && e->card == card;
  });
}

std::optional<TAccessEntry> FirstEntry(const std::vector<std::string>& group, const std::string& card) {
  for (const auto& line : group)
    if (auto e = ParseAccessEntry(line); e && e->card == card) return e;
  return std::nullopt;
}

std::int64_t LevelCode(const TCardPage& page, const std::string& desc) {
  const TAccessLevel* level = LevelByDesc(page.levels, desc);
  return level ? level->code : 0;
}

std::optional<std::string> MaskOfLevel(const TCardPage& page, const std::string& desc) {
  const TAccessLevel* level = LevelByDesc(page.levels, desc);
  if (!level) return std::string("00000");
  return AccessMask(page.slotCodes, level->timeTables);
}

std::string StoredPin(TDatabase& db, const std::string& card) {
  TQuery q(db);
  q.SetSQL("SELECT fsPIN FROM tEmployees WHERE fsCardNo=?", {TextValue(card)});
  q.Open();
  const std::string pin = q.IsEmpty() ? std::string() : Trim(q.Field(0).AsString());
  return pin.empty() ? "000000" : pin;
}

bool CardStored(TDatabase& db, const std::string& card) {
  TQuery q(db);
  q.SetSQL("SELECT fsCardNo FROM tEmployees WHERE fsCardNo=?", {TextValue(card)});
  q.Open();
  return !q.IsEmpty();
}

void PutEntry(std::vector<std::string>& group, const TAccessEntry& entry) {
  const auto it = EntryOf(group, entry.card);
  if (it != group.end())
    *it = AccessEntryLine(entry);
  else
    group.push_back(AccessEntryLine(entry));
}

}  // namespace

const char* CardOrderField(TCardOrder order) {
  switch (order) {
    case TCardOrder::IDNo:
      return "fsIDNo";
    case TCardOrder::Name:
      return "fsName";
    case TCardOrder::AcsCode:
      return "fnAcsCode";
    case TCardOrder::PIN:
      return "fsPIN";
    case TCardOrder::PINTime:
      return "fnPINTime";
    default:
      return "fsCardNo";
  }
}

void ReadWorkingTerminal(TDatabase& db, TCardPage& page) {
  page.slotCodes = ReadTerminalList(db, page.terminal, "fmTimeTbl");
  page.offered = ReadTerminalList(db, page.terminal, "fmAccess");
  page.levels = ReadAccessLevels(db);
  page.timeTables = ReadTimeTables(db);
}

TCardPage OpenCardPage(TDatabase& db, TOperatorUi& ui, const std::string& address) {
  TCardPage page;
  page.terminal = address;
  page.group = ReadTerminalList(db, address, "fmAxGroup");
  RebuildCardList(db, ui, page);
  return page;
}

void RebuildCardList(TDatabase& db, TOperatorUi& ui, TCardPage& page, bool keepTicks) {
  ReadWorkingTerminal(db, page);
  std::map<std::string, bool> ticks;
  if (keepTicks) {
    for (const auto& row : page.rows) ticks[row.card] = row.ticked;
  } else {
    for (const auto& e : AccessEntriesOf(ReadTerminalList(db, page.terminal, "fmAxGroup")))
      ticks[e.card] = true;
  }
  TQuery q(db);
  q.SetSQL(std::string("SELECT * FROM tEmployees ORDER BY ") + CardOrderField(page.order));
  q.Open();
  ui.ProgressNotice("0-" + std::to_string(q.RecordCount()));
  page.rows.clear();
  int n = 0;
  for (q.First(); !q.Eof(); q.Next()) {
    TCardListRow row;
    row.card = q.FieldByName("fsCardNo").AsString();
    row.idNo = q.FieldByName("fsIDNo").AsString();
    row.name = q.FieldByName("fsName").AsString();
    if (const auto e = FirstEntry(page.group, row.card)) {
      row.access = AccessLevelOfMask(page.slotCodes, page.levels, e->accessMask);
      row.pin = e->pin;
      row.pinTime = AccessLevelOfMask(page.slotCodes, page.levels, e->pinTimeMask);
      row.relay = e->relay;
    } else {
      row.access = LevelDescOf(page.levels, q.FieldByName("fnAcsCode").AsInteger());
      row.pin = q.FieldByName("fsPIN").AsString();
      row.pinTime = LevelDescOf(page.levels, q.FieldByName("fnPINTime").AsInteger());
    }
    const auto t = ticks.find(row.card);
    row.ticked = t != ticks.end() && t->second;
    page.rows.push_back(std::move(row));
    ui.ProgressNotice(std::to_string(++n));
  }
}

void SortCardList(TDatabase& db, TOperatorUi& ui, TCardPage& page, TCardOrder order) {
  page.order = order;
  RebuildCardList(db, ui, page, true);
}

bool SameAsTerminal(TDatabase& db, TOperatorUi& ui, TCardPage& page, const std::string& location,
                    const std::string& selectedAddr) {
  TQuery q(db);
  q.SetSQL("SELECT fsAddr FROM tTerminals WHERE fsLocation=? ORDER BY fsAddr", {TextValue(location)});
  q.Open();
  if (q.IsEmpty()) {
    ui.Warning("No terminal has the location " + location + ".");
    return false;
  }
  page.terminal = q.Field(0).AsString();
  page.group = ReadTerminalList(db, page.terminal, "fmAxGroup");
  RebuildCardList(db, ui, page);
  if (page.terminal != selectedAddr && page.slotCodes != ReadTerminalList(db, selectedAddr, "fmTimeTbl"))
    ui.Warning(kOtherTimeTables);
  return true;
}

std::vector<std::string> LevelItems(const TCardPage& page) {
  return OfferedLevelItems(page.levels, page.offered);
}

std::string LevelHint(const TCardPage& page, const std::string& levelDesc) {
  return TimeTableHint(page.levels, page.timeTables, levelDesc);
}

std::optional<std::size_t> FindCardRow(const TCardPage& page, TCardSearch field, const std::string& text) {
  const std::string wanted = Trim(text);
  for (std::size_t i = 0; i < page.rows.size(); ++i) {
    const TCardListRow& r = page.rows[i];
    const std::string& value = field == TCardSearch::CardNo ? r.card
                               : field == TCardSearch::IDNo ? r.idNo
                                                            : r.name;
    if (EqualsNoCase(Trim(value), wanted)) return i;
  }
  return std::nullopt;
}

const char* NotFoundText(TCardSearch field) {
  switch (field) {
    case TCardSearch::CardNo:
      return "Card Number not Found.";
    case TCardSearch::IDNo:
      return "ID Number not Found.";
    default:
      return "Cardholder Name not Found.";
  }
}

std::string PinOfEdit(const std::string& typed) {
  std::string pin = FirstChars(typed, 6);
  pin.resize(6, '0');
  std::replace(pin.begin(), pin.end(), ' ', '0');
  return pin;
}

TCardEditOutcome AddEditCard(TDatabase& db, TOperatorUi& ui, TCardPage& page, const TCardEdit& edit) {
  const std::string card = Trim(edit.card);
  if (card.empty()) {
    RebuildCardList(db, ui, page);
    return TCardEditOutcome::ListOnly;
  }
  const std::string name = edit.name.empty() ? "-" : edit.name;
  const std::int64_t accessCode = LevelCode(page, edit.access);
  const std::int64_t pinTimeCode = LevelCode(page, edit.pinTime);
  const std::string pin = PinOfEdit(edit.pin);
  if (!std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    ui.Warning("The PIN must be six digits.");
    return TCardEditOutcome::Refused;
  }
  const std::string relay = RelayDigit(RelayCode(edit.relay1, edit.relay2));
  ReadWorkingTerminal(db, page);
  const auto accessMask = MaskOfLevel(page, edit.access);
  const auto pinTimeMask = MaskOfLevel(page, edit.pinTime);
  if (!accessMask || !pinTimeMask) {
    ui.Warning(kMaskTooWide);
    return TCardEditOutcome::Refused;
  }

  TCardEditOutcome outcome = TCardEditOutcome::Inserted;
  try {
    TQuery q(db);
    if (CardStored(db, card)) {
      outcome = TCardEditOutcome::Updated;
      for (const auto& row : page.rows) {
        if (!row.ticked) continue;
        TAccessEntry entry{row.card, *accessMask, pin, *pinTimeMask, relay};
        if (row.card == card) {
          UpdateRecord(q, "tEmployees", CardCondition(row.card),
                       {TextValue(edit.idNo), TextValue(name), IntValue(accessCode), TextValue(pin),
                        IntValue(pinTimeCode)},
                       {"fsIDNo", "fsName", "fnAcsCode", "fsPIN", "fnPINTime"});
        } else {
          UpdateRecord(q, "tEmployees", CardCondition(row.card),
                       {IntValue(accessCode), IntValue(pinTimeCode)}, {"fnAcsCode", "fnPINTime"});
          entry.pin = StoredPin(db, row.card);
        }
        PutEntry(page.group, entry);
      }
    } else {
      InsertRecord(q, "tEmployees",
                   {TextValue(card), TextValue(Trim(edit.idNo)), TextValue(Trim(name)), TOtherValue{},
                    IntValue(accessCode), TextValue(pin), IntValue(pinTimeCode), IntValue(0), TextValue("")},
                   {""});
      page.group.push_back(AccessEntryLine({card, *accessMask, pin, *pinTimeMask, relay}));
    }
  } catch (const std::exception& e) {
    ui.Error(e.what());
    outcome = TCardEditOutcome::Refused;
  }
  RebuildCardList(db, ui, page);
  return outcome;
}

void DeleteCard(TDatabase& db, TOperatorUi& ui, TCardPage& page, const std::string& typed) {
  const std::string card = Trim(typed);
  try {
    TQuery q(db);
    DeleteRecords(q, "tEmployees", CardCondition(card));
    for (auto it = page.group.rbegin(); it != page.group.rend(); ++it) {
      const auto e = ParseAccessEntry(*it);
      if (e && e->card == card) {
        page.group.erase(std::next(it).base());
        break;
      }
    }
  } catch (const std::exception& e) {
    ui.Error(e.what());
  }
  RebuildCardList(db, ui, page);
}

std::string CardPhoto(TDatabase& db, const std::string& card) {
  TQuery q(db);
  q.SetSQL("SELECT fbPhoto FROM tEmployees WHERE fsCardNo=?", {TextValue(card)});
  q.Open();
  return q.IsEmpty() || q.Field(0).IsNull() ? std::string() : q.Field(0).AsBlob();
}

bool StoreCardPhoto(TDatabase& db, const std::string& card, const std::string& bytes) {
  TQuery q(db);
  q.SetSQL("SELECT * FROM tEmployees WHERE fsCardNo=?", {TextValue(Trim(card))});
  q.Open();
  if (q.IsEmpty()) return false;
  q.Edit();
  if (bytes.empty())
    q.FieldByName("fbPhoto").SetNull();
  else
    q.FieldByName("fbPhoto").SetAsBlob(bytes);
  q.Post();
  return true;
}

}  // namespace korvo
