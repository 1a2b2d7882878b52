#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvo {

// A template text (fmBioData) is the template bytes as upper-case hexadecimal; a cardholder with two
// templates has both texts joined by "+". One template as the terminal delivers it is 384 bytes, 768
// digits, so the second of a pair starts at character 770.
inline constexpr std::size_t kOnePieceChars = 800;
inline constexpr std::size_t kTemplateDigits = 768;
inline constexpr std::size_t kSecondTemplateAt = kTemplateDigits + 1;

// The texts that SEND decodes and sends: the whole text when it has at most 800 characters, otherwise
// characters 1-768 and 770-1537 (the second one shorter when the text is).
std::vector<std::string> TemplatePieces(std::string_view text);
// The pieces as bytes; nothing when a piece holds anything but hexadecimal digits, so that a damaged
// text is found before the terminal is locked.
std::optional<std::vector<std::string>> DecodeTemplatePieces(std::string_view text);

// The reply, trimmed and upper-cased, is "OK".
bool IsOkReply(std::string_view reply);
// The trimmed reply as a whole number, or nothing when it is none.
std::optional<int> ReplyInteger(std::string_view reply);

// One template of the terminal's template table.
struct TTableEntry {
  std::string card;    // the entry's text before its first ":"
  std::string finger;  // its last character
  bool operator==(const TTableEntry&) const = default;
};
// The entries of the reply to "LOCKSYS\rTYPE TMPTABLE\r": every "OK", CR and "NOT FOUND" (any letter
// case) taken out, the rest split into words at blanks, commas and line ends, the words sorted. A word
// without a card before a ":" and something after it (a "--" of a read that ran out, the "TMPTABLE" of
// an empty table, the listing's "*") names no template and is left out.
std::vector<TTableEntry> TemplateTableEntries(std::string_view reply);
// The table listing after its LOCKSYS answer is the "--" of a read that ran out: the terminal sent
// fewer lines than it counted, or none in time.
bool TemplateTableRanOut(std::string_view reply);

// A template fetched with TMPDATA: its hexadecimal text, or nothing when the reply was no 384-byte
// block (a read that ran out gives "--", which must never become a template).
std::optional<std::string> FetchedTemplateText(std::string_view reply);

// Fetched templates of consecutive requests for the same card joined into one text with "+".
struct TFetched {
  std::string card;
  std::optional<std::string> text;  // nothing: this template did not arrive
};
// A card keeps a text only when every one of its templates arrived; a pair with a gap would shift the
// second template to the wrong place.
std::vector<TFetched> MergeFetched(std::vector<TFetched> fetched);

// The lines sorted as text without regard to letter case.
std::vector<std::string> SortLines(std::vector<std::string> lines);
// The same with a line equal to the one before it dropped.
std::vector<std::string> SortedList(std::vector<std::string> lines);
// Letter case ignored.
bool SameText(std::string_view a, std::string_view b);

}  // namespace korvo
