#pragma once

#include <string>
#include <string_view>

namespace korvo {

// A transaction record: a terminal's transaction line with the six date digits of its file (DDMMYY)
// put in after the nine-character card field. Positions count from 1; a short record reads the
// positions it lacks as empty text.
struct TTransactionRecord {
  explicit TTransactionRecord(std::string_view record) : text(record) {}

  std::string_view Card() const { return Part(1, 9); }
  std::string_view Day() const { return Part(10, 2); }
  std::string_view Month() const { return Part(12, 2); }
  std::string_view Year() const { return Part(14, 2); }
  std::string_view Hour() const { return Part(16, 2); }
  std::string_view Minute() const { return Part(18, 2); }
  std::string_view Second() const { return Part(20, 2); }
  std::string_view Direction() const { return Part(22, 1); }
  std::string_view Event() const { return Part(23, 2); }
  std::string_view Function() const { return text.size() > 24 ? text.substr(24) : std::string_view(); }

  // `width` characters from position `first`, as far as the record reaches.
  std::string_view Part(std::size_t first, std::size_t width) const {
    return first - 1 < text.size() ? text.substr(first - 1, width) : std::string_view();
  }

  std::string_view text;
};

// The last `count` characters of the text; the whole text when shorter; empty for a count of 0 or less.
std::string RightDigits(std::string_view text, int count);

// The six-character prefix (DDMMYY of the file) put in after the card field of every word of a
// TYPE reply, one record per line. The end mark "*" of the reply is left out.
std::string InsertFileDate(std::string_view prefix, std::string_view reply);

// The first two digits of the year the clock shows: the century the records' two-digit years lie in.
std::string CenturyOf(int year);

}  // namespace korvo
