#include "tables/TemplateText.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "store/TextCodec.h"

namespace korvo {
namespace {

constexpr std::size_t kTemplateBytes = 384;

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool LessText(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Upper(x) < Upper(y); });
}

// Every occurrence of `what`, compared without regard to letter case, taken out of `text`.
void RemoveAll(std::string& text, std::string_view what) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (i + what.size() <= text.size() && SameText(std::string_view(text).substr(i, what.size()), what)) {
      i += what.size();
    } else {
      out += text[i++];
    }
  }
  text = std::move(out);
}

}  // namespace

std::vector<std::string> TemplatePieces(std::string_view text) {
  if (text.size() <= kOnePieceChars) return {std::string(text)};
  return {std::string(text.substr(0, kTemplateDigits)),
          std::string(text.substr(kSecondTemplateAt, kTemplateDigits))};
}

std::optional<std::vector<std::string>> DecodeTemplatePieces(std::string_view text) {
  std::vector<std::string> bytes;
  for (const auto& piece : TemplatePieces(text)) {
    try {
      bytes.push_back(HexDecode(piece));
    } catch (const THexError&) {
      return std::nullopt;
    }
  }
  return bytes;
}

bool IsOkReply(std::string_view reply) {
  return SameText(TrimControl(reply), "OK");
}

std::optional<int> ReplyInteger(std::string_view reply) {
  const std::string text = TrimControl(reply);
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return value;
}

std::vector<TTableEntry> TemplateTableEntries(std::string_view reply) {
  std::string text(reply);
  RemoveAll(text, "OK");
  RemoveAll(text, "\r");
  RemoveAll(text, "NOT FOUND");
  std::vector<std::string> words;
  std::string word;
  for (char c : text + " ") {
    if (c == ' ' || c == ',' || c == '\n') {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  std::stable_sort(words.begin(), words.end(), LessText);
  std::vector<TTableEntry> entries;
  for (const auto& w : words) {
    const std::size_t colon = w.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == w.size()) continue;
    entries.push_back({w.substr(0, colon), w.substr(w.size() - 1)});
  }
  return entries;
}

bool TemplateTableRanOut(std::string_view reply) {
  const std::size_t cr = reply.find('\r');
  const std::string_view listing = cr == std::string_view::npos ? std::string_view() : reply.substr(cr + 1);
  return TrimControl(listing) == "--";
}

std::optional<std::string> FetchedTemplateText(std::string_view reply) {
  if (reply.size() != kTemplateBytes) return std::nullopt;
  return HexEncode(reply);
}

std::vector<TFetched> MergeFetched(std::vector<TFetched> fetched) {
  for (std::size_t j = fetched.size(); j-- > 1;) {
    TFetched& previous = fetched[j - 1];
    if (previous.card != fetched[j].card) continue;
    if (previous.text && fetched[j].text)
      *previous.text += "+" + *fetched[j].text;
    else
      previous.text.reset();
    fetched.erase(fetched.begin() + static_cast<std::ptrdiff_t>(j));
  }
  return fetched;
}

std::vector<std::string> SortLines(std::vector<std::string> lines) {
  std::stable_sort(lines.begin(), lines.end(), LessText);
  return lines;
}

std::vector<std::string> SortedList(std::vector<std::string> lines) {
  lines = SortLines(std::move(lines));
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

}  // namespace korvo
