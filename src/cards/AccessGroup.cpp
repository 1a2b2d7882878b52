#include "cards/AccessGroup.h"

#include <algorithm>
#include <cctype>

#include "tables/TableText.h"

namespace korvo {

const char* const kMaskTooWide =
    "The terminal has more time tables than the five digits of an access mask can name: the level "
    "uses a time table beyond them. Choose another level or send fewer time tables to the terminal.";

namespace {

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<TAccessEntry> ParseAccessEntry(std::string_view line) {
  if (line.size() < kAccessEntryTail) return std::nullopt;
  const std::size_t n = line.size() - kAccessEntryTail;
  return TAccessEntry{std::string(line.substr(0, n)), std::string(line.substr(n, 5)),
                      std::string(line.substr(n + 5, 6)), std::string(line.substr(n + 11, 5)),
                      std::string(line.substr(n + 16, 1))};
}

std::string AccessEntryLine(const TAccessEntry& e) {
  return e.card + e.accessMask + e.pin + e.pinTimeMask + e.relay;
}

std::vector<TAccessEntry> AccessEntriesOf(const std::vector<std::string>& lines) {
  std::vector<TAccessEntry> entries;
  for (const auto& line : lines)
    if (auto e = ParseAccessEntry(line)) entries.push_back(*e);
  return entries;
}

std::string AccessGroupRecord(const TAccessEntry& e) {
  return PadZeros(e.card, 9) + e.accessMask + "1" + e.pin + e.pinTimeMask + e.relay;
}

std::optional<std::string> AccessMask(const std::vector<std::string>& slotCodes,
                                      const std::vector<std::string>& levelTimeTables) {
  std::uint64_t sum = 0;
  for (std::size_t k = 0; k < slotCodes.size(); ++k) {
    for (const auto& code : levelTimeTables) {
      if (Trim(code) != Trim(slotCodes[k])) continue;
      if (k > 40) return std::nullopt;
      sum += std::uint64_t{1} << k;
    }
  }
  if (sum > 99999) return std::nullopt;
  std::string digits = std::to_string(sum);
  return std::string(5 - digits.size(), '0') + digits;
}

std::string AccessLevelOfMask(const std::vector<std::string>& slotCodes,
                              const std::vector<TAccessLevel>& levels, std::string_view mask) {
  if (!AllDigits(mask) || mask.size() > 9) return "None";
  const std::uint64_t bits = std::stoull(std::string(mask));
  std::vector<std::string> codes;
  for (std::size_t k = 0; k < slotCodes.size() && k < 64; ++k)
    if (bits & (std::uint64_t{1} << k)) codes.push_back(Trim(slotCodes[k]));
  if (codes.empty()) return "None";
  for (const auto& level : levels) {
    std::vector<std::string> list;
    for (const auto& c : level.timeTables) list.push_back(Trim(c));
    if (list == codes) return Trim(level.desc);
  }
  return "None";
}

const TAccessLevel* LevelByDesc(const std::vector<TAccessLevel>& levels, std::string_view desc) {
  const std::string wanted = Trim(desc);
  for (const auto& level : levels)
    if (EqualsNoCase(Trim(level.desc), wanted)) return &level;
  return nullptr;
}

std::string LevelDescOf(const std::vector<TAccessLevel>& levels, std::int64_t code) {
  for (const auto& level : levels)
    if (level.code == code && code != 0) return Trim(level.desc);
  return "None";
}

std::string TimeTableHint(const std::vector<TAccessLevel>& levels, const std::vector<TTimeTable>& timeTables,
                          std::string_view levelDesc) {
  const TAccessLevel* level = LevelByDesc(levels, levelDesc);
  if (!level) return {};
  std::string hint;
  for (const auto& raw : level->timeTables) {
    const std::string code = Trim(raw);
    const auto t = std::find_if(timeTables.begin(), timeTables.end(),
                                [&](const TTimeTable& tt) { return std::to_string(tt.code) == code; });
    if (t == timeTables.end()) continue;
    hint += Blanks(5 - static_cast<int>(code.size())) + code + "." +
            Blanks(3 - static_cast<int>(code.size())) + PadSpaces(t->desc, 32) + PadSpaces(t->start, 7) +
            PadSpaces(t->end, 7) + DayMaskText(t->days) + "\r";
  }
  return hint;
}

std::vector<std::string> OfferedLevelItems(const std::vector<TAccessLevel>& levels,
                                           std::vector<std::string> offeredCodes) {
  std::sort(offeredCodes.begin(), offeredCodes.end());
  std::vector<std::string> items{"None"};
  for (const auto& code : offeredCodes)
    for (const auto& level : levels)
      if (std::to_string(level.code) == Trim(code)) {
        items.push_back(Trim(level.desc));
        break;
      }
  return items;
}

}  // namespace korvo
