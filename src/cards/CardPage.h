#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/AccessGroup.h"
#include "tables/TableRecords.h"

namespace korvo {

class TDatabase;
class TOperatorUi;

// A row of the cardholder list, kept as values: the texts are those the columns show.
struct TCardListRow {
  std::string card;     // "Card No", fsCardNo as stored
  std::string idNo;     // "ID Number"
  std::string name;     // "Name"
  std::string access;   // "Access Time": a level description or "None"
  std::string pin;      // "PIN"
  std::string pinTime;  // "PIN Time"
  std::string relay = "0";
  bool ticked = false;
};

// The column widths of the text columns, in the order above.
inline constexpr int kCardColumnWidths[] = {15, 15, 30, 21, 7, 21};

// The order of the list: header sections 1 to 6.
enum class TCardOrder { CardNo = 1, IDNo, Name, AcsCode, PIN, PINTime };
const char* CardOrderField(TCardOrder order);

// The Cardholders page without its window. The working terminal supplies the time-table slots, the
// offered levels and the ticks; the working access group changes with Add / Edit and Delete and is
// stored only by Send.
struct TCardPage {
  std::string terminal;                // working terminal
  std::vector<std::string> slotCodes;  // its fmTimeTbl
  std::vector<std::string> offered;    // its fmAccess
  std::vector<std::string> group;      // working access group, one entry line each
  std::vector<TAccessLevel> levels;    // tAccess by code
  std::vector<TTimeTable> timeTables;  // tTimeTable by code
  TCardOrder order = TCardOrder::CardNo;
  std::vector<TCardListRow> rows;
};

// Page show: the working terminal and its stored access group, and the list rebuilt.
TCardPage OpenCardPage(TDatabase& db, TOperatorUi& ui, const std::string& address);
// Reads the working terminal's row again (slots, offered levels) and the levels and time tables.
void ReadWorkingTerminal(TDatabase& db, TCardPage& page);
// The rows from tEmployees in the page's order, the meter told "0-" + count and each row number.
// The ticks are those of the working terminal's stored access group, or, with `keepTicks`, those the
// rows had (by card number).
void RebuildCardList(TDatabase& db, TOperatorUi& ui, TCardPage& page, bool keepTicks = false);
void SortCardList(TDatabase& db, TOperatorUi& ui, TCardPage& page, TCardOrder order);

// "Same as term.": the working terminal becomes the one at this location and the working access
// group its stored one. False (a warning given) when no terminal has the location. Warns when its
// time tables are not those of `selectedAddr`, to which Send still goes.
bool SameAsTerminal(TDatabase& db, TOperatorUi& ui, TCardPage& page, const std::string& location,
                    const std::string& selectedAddr);
extern const char* const kOtherTimeTables;

// "None" and the offered levels, for cbAcs and cbPIN.
std::vector<std::string> LevelItems(const TCardPage& page);
std::string LevelHint(const TCardPage& page, const std::string& levelDesc);

// Search: the first row whose card number, ID number or name (trimmed) is the text, case ignored.
enum class TCardSearch { CardNo, IDNo, Name };
std::optional<std::size_t> FindCardRow(const TCardPage& page, TCardSearch field, const std::string& text);
const char* NotFoundText(TCardSearch field);

// The edit group.
struct TCardEdit {
  std::string card, idNo, name;
  std::string access = "None", pinTime = "None";  // level descriptions as chosen
  std::string pin;                                // mePIN: blanks read as "0"
  bool relay1 = false, relay2 = false;
};
// The six PIN characters of mePIN: blanks and missing positions are "0".
std::string PinOfEdit(const std::string& typed);

enum class TCardEditOutcome { Updated, Inserted, ListOnly, Refused };
// Add / Edit: an existing card changes the ticked rows (the card of the edit group fully, the
// others their levels) and their entries; a new card is inserted with an entry. The list is
// rebuilt in every case. Refused with a warning: a level whose mask does not fit, a PIN that is not
// digits. Database errors end the change with an error box.
TCardEditOutcome AddEditCard(TDatabase& db, TOperatorUi& ui, TCardPage& page, const TCardEdit& edit);
// Delete: the cardholder and its (last) entry; the list rebuilt.
void DeleteCard(TDatabase& db, TOperatorUi& ui, TCardPage& page, const std::string& card);

// The photo of a cardholder (empty when none), and the one stored; false when no cardholder has
// the card.
std::string CardPhoto(TDatabase& db, const std::string& card);
bool StoreCardPhoto(TDatabase& db, const std::string& card, const std::string& bytes);
extern const char* const kDataNotFound;

}  // namespace korvo
