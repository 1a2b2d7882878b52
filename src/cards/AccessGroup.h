#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/TableRecords.h"

namespace korvo {

// One line of a terminal's access group: the card number as stored, then the access mask (five
// digits), the PIN (six characters), the PIN-time mask (five digits) and the relay code (one digit).
// The card number is everything before the last 17 characters, so the parts are kept as the line
// has them and the line is rebuilt byte for byte.
struct TAccessEntry {
  std::string card;
  std::string accessMask = "00000";
  std::string pin = "000000";
  std::string pinTimeMask = "00000";
  std::string relay = "0";
};

inline constexpr std::size_t kAccessEntryTail = 17;

// Nothing for a line too short to hold the 17 characters after the card number.
std::optional<TAccessEntry> ParseAccessEntry(std::string_view line);
std::string AccessEntryLine(const TAccessEntry& e);
// The entries of the lines that hold one, in order.
std::vector<TAccessEntry> AccessEntriesOf(const std::vector<std::string>& lines);
// The AXGROUP.DAT record: the card with zeros to nine characters (never cut), the access mask, "1",
// the PIN, the PIN-time mask and the relay code.
std::string AccessGroupRecord(const TAccessEntry& e);

// A mask is the sum of 2^k over the time-table slots k of the terminal (its fmTimeTbl) whose code
// the level lists; a code the level lists twice counts twice. Nothing when the sum does not fit the
// five digits of the entry.
std::optional<std::string> AccessMask(const std::vector<std::string>& slotCodes,
                                      const std::vector<std::string>& levelTimeTables);
extern const char* const kMaskTooWide;

// The level whose time-table list is the terminal's codes at the set bits of the mask, in the same
// order; "None" when no bit is set, the mask is not a number, or no level has that list.
std::string AccessLevelOfMask(const std::vector<std::string>& slotCodes,
                              const std::vector<TAccessLevel>& levels, std::string_view mask);

// One line per time table of the level found in `timeTables`: the code right-aligned in five, ".",
// the description in 32, start and end in 7 each, the day text, then CR. Empty for an unknown level.
std::string TimeTableHint(const std::vector<TAccessLevel>& levels, const std::vector<TTimeTable>& timeTables,
                          std::string_view levelDesc);

// The level with this description (trimmed, letter case ignored), if any.
const TAccessLevel* LevelByDesc(const std::vector<TAccessLevel>& levels, std::string_view desc);
// The description of a level code, trimmed; "None" for 0 or an unknown code.
std::string LevelDescOf(const std::vector<TAccessLevel>& levels, std::int64_t code);
// "None" then the descriptions of the levels offered on the terminal (fmAccess), codes in text order;
// codes no level has are skipped.
std::vector<std::string> OfferedLevelItems(const std::vector<TAccessLevel>& levels,
                                           std::vector<std::string> offeredCodes);

}  // namespace korvo
