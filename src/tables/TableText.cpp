#include "tables/TableText.h"

namespace korvo {
namespace {
constexpr const char* kDayLetters = "SMTWTFSH";
constexpr int kDays = 8;
}  // namespace

std::string PadZeros(std::string_view text, int width) {
  const auto n = static_cast<std::size_t>(width < 0 ? 0 : width);
  return text.size() >= n ? std::string(text) : std::string(n - text.size(), '0') + std::string(text);
}

std::string PadSpaces(std::string_view text, int width) {
  const auto n = static_cast<std::size_t>(width < 0 ? 0 : width);
  std::string s(text.substr(0, n));
  s.resize(n, ' ');
  return s;
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

int RelayCode(bool relay1, bool relay2) {
  return (relay1 ? 1 : 0) + (relay2 ? 2 : 0);
}

std::string RelayDigit(int code) {
  return code >= 0 && code <= 3 ? std::to_string(code) : std::string();
}

}  // namespace korvo
