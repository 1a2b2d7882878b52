#pragma once

#include <string>
#include <string_view>

namespace korvo {

// The fields of an online transaction line: terminal number (3), card number (N, the card digits),
// yyyymmddhhnnss, direction flag (1), event flag (2) and the function code (the rest). A short line
// gives empty or partial fields.
struct TOnlineLine {
  std::string termNo;
  std::string cardNo;
  std::string year, month, day, hour, minute, second;
  std::string dirFlag;
  std::string eventFlag;
  std::string functionCode;

  // "yyyy/mm/dd hh:nn:ss" as cut from the line, whatever the fields hold.
  std::string TimeText() const;
};

// Cuts a line (without its line end) with `cardDigits` card characters; a count below 0 counts as 0.
TOnlineLine CutOnlineLine(std::string_view line, int cardDigits);

}  // namespace korvo
