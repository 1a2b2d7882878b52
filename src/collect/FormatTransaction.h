#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvo {

class TTransactionLookups;

// A record whose date positions form no date: the day of the week cannot be told.
class TRecordDateError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the output letters need besides the record: the format, the lookups and the century.
struct TFormatContext {
  std::string format;  // the letters of OutputFormat, in either case
  const TTransactionLookups& lookups;
  std::string century;  // the first two digits of the PC's year
};

// The output line of one record: each letter of the format appends its part, any other character
// itself. Raises TRecordDateError for W on a record without a valid date.
std::string FormatTransaction(const TFormatContext& context, int cardDigits, const std::string& termNo,
                              std::string_view record);

// The day of the week of a record's date, 1 = Sunday to 7 = Saturday; 0 when it is no date.
int RecordWeekday(const std::string& century, std::string_view yy, std::string_view mm, std::string_view dd);

}  // namespace korvo
