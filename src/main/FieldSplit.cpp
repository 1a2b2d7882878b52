#include "main/FieldSplit.h"

#include <charconv>

namespace korvo {
namespace {
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::vector<std::string> SplitDelimitedFields(std::string_view text, char delimiter) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (i < n) {
    std::size_t start = i;
    while (i < n && !IsBlank(text[i]) && text[i] != delimiter) ++i;
    fields.emplace_back(text.substr(start, i - start));
    while (i < n && IsBlank(text[i])) ++i;
    if (i < n && text[i] == delimiter) {
      if (i + 1 == n) fields.emplace_back();
      ++i;
      while (i < n && IsBlank(text[i])) ++i;
    }
  }
  return fields;
}

bool ReadInteger(std::string_view text, int& value) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  int v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc{} || end != text.data() + text.size()) return false;
  value = v;
  return true;
}

}  // namespace korvo
