#include "tables/TableText.h"

#include <algorithm>

namespace korvo {
namespace {
constexpr const char* kDayLetters = "SMTWTFSH";
constexpr int kDays = 8;

bool Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte offset where character `n` begins (the size when the text is shorter).
std::size_t CharOffset(std::string_view text, std::size_t n) {
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    if (Continuation(text[i])) continue;
    if (n == 0) return i;
    --n;
  }
  return text.size();
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::size_t CharCount(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !Continuation(c); }));
}

std::string FirstChars(std::string_view text, std::size_t n) {
  return std::string(text.substr(0, CharOffset(text, n)));
}

std::string AfterChars(std::string_view text, std::size_t n) {
  return std::string(text.substr(CharOffset(text, n)));
}

std::string Blanks(int n) {
  return n > 0 ? std::string(static_cast<std::size_t>(n), ' ') : std::string();
}

std::string TrimRight(std::string_view text) {
  std::size_t e = text.size();
  while (e > 0 && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(0, e));
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.emplace_back(text.substr(start, i - start));
  }
  return words;
}

std::string WordsWithBlanks(std::string_view text) {
  std::string out;
  for (const auto& word : Words(text)) out += word + ' ';
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
  });
}

std::string ReplaceNoCase(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(text);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.size() - i >= what.size() && EqualsNoCase(text.substr(i, what.size()), what)) {
      out += with;
      i += what.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::string UnsafeTextReason(std::string_view text, std::string_view what) {
  for (char c : text) {
    if (c == '|')
      return "The " + std::string(what) +
             " may not hold \"|\": the terminal line would take what follows it as a command of its own.";
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "The " + std::string(what) + " may not hold a control character.";
  }
  return {};
}

std::string PadZeros(std::string_view text, int width) {
  const auto n = static_cast<std::size_t>(width < 0 ? 0 : width);
  const std::size_t chars = CharCount(text);
  return chars >= n ? std::string(text) : std::string(n - chars, '0') + std::string(text);
}

std::string PadSpaces(std::string_view text, int width) {
  const auto n = static_cast<std::size_t>(width < 0 ? 0 : width);
  std::string s = FirstChars(text, n);
  return s + std::string(n - CharCount(s), ' ');
}

std::string DayMaskText(int mask) {
  std::string text(kDayLetters);
  for (int i = 0; i < kDays; ++i)
    if (!(mask & (1 << (kDays - 1 - i)))) text[static_cast<std::size_t>(i)] = '-';
  return text;
}

int DayMaskValue(std::string_view text) {
  int mask = 0;
  for (int i = 0; i < kDays && static_cast<std::size_t>(i) < text.size(); ++i)
    if (text[static_cast<std::size_t>(i)] != '-') mask |= 1 << (kDays - 1 - i);
  return mask;
}

int DayMaskOf(const TDayBoxes& boxes) {
  int mask = 0;
  for (int i = 0; i < kDays; ++i)
    if (boxes[static_cast<std::size_t>(i)]) mask |= 1 << (kDays - 1 - i);
  return mask;
}

TDayBoxes DayBoxesOf(int mask) {
  TDayBoxes boxes{};
  for (int i = 0; i < kDays; ++i) boxes[static_cast<std::size_t>(i)] = (mask & (1 << (kDays - 1 - i))) != 0;
  return boxes;
}

int RelayCode(bool relay1, bool relay2) {
  return (relay1 ? 1 : 0) + (relay2 ? 2 : 0);
}

std::string RelayDigit(int code) {
  return code >= 0 && code <= 3 ? std::to_string(code) : std::string();
}

}  // namespace korvo
