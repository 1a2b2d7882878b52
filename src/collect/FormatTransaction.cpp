#include "collect/FormatTransaction.h"

#include <cctype>
#include <charconv>
#include <chrono>

#include "collect/TransactionLookups.h"
#include "collect/TransactionRecord.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

bool Digits(std::string_view s, int& value) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  std::from_chars(s.data(), s.data() + s.size(), value);
  return true;
}

}  // namespace

int RecordWeekday(const std::string& century, std::string_view yy, std::string_view mm, std::string_view dd) {
  int year = 0, month = 0, day = 0;
  if (yy.size() != 2 || !Digits(century + std::string(yy), year) || !Digits(mm, month) || !Digits(dd, day))
    return 0;
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return 0;
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding()) + 1;
}

std::string FormatTransaction(const TFormatContext& context, int cardDigits, const std::string& termNo,
                              std::string_view record) {
  const TTransactionRecord r(record);
  const std::string card = RightDigits(r.Card(), cardDigits);
  std::string line;
  for (char letter : context.format) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
      case 'C':
        line += context.century;
        break;
      case 'Y':
        line += r.Year();
        break;
      case 'M':
        line += r.Month();
        break;
      case 'D':
        line += r.Day();
        break;
      case 'W': {
        const int weekday = RecordWeekday(context.century, r.Year(), r.Month(), r.Day());
        if (weekday == 0)
          throw TRecordDateError("The record " + std::string(record) + " holds no valid date.");
        line += std::to_string(weekday);
        break;
      }
      case 'H':
        line += r.Hour();
        break;
      case 'N':
        line += r.Minute();
        break;
      case 'S':
        line += r.Second();
        break;
      case 'R':
        line += card;
        break;
      case 'O':
        line += context.lookups.DirOr(r.Direction());
        break;
      case 'E':
        line += context.lookups.EventOr(r.Event());
        break;
      case 'F':
        line += context.lookups.DirOr(TrimControl(r.Function()));
        break;
      case 'T':
        line += termNo;
        break;
      case 'I':
        if (const auto* c = context.lookups.Cardholder(card)) line += c->idNo;
        break;
      case 'X':
        if (const auto* c = context.lookups.Cardholder(card)) line += c->name;
        break;
      default:
        line += letter;
    }
  }
  return line;
}

}  // namespace korvo
