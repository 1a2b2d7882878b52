#include "collect/OnlineLine.h"

#include <algorithm>

namespace korvo {

std::string TOnlineLine::TimeText() const {
  return year + "/" + month + "/" + day + " " + hour + ":" + minute + ":" + second;
}

TOnlineLine CutOnlineLine(std::string_view line, int cardDigits) {
  std::size_t at = 0;
  // The next `width` characters, as far as the line reaches.
  auto take = [&](std::size_t width) {
    const std::string_view part = at < line.size() ? line.substr(at, width) : std::string_view();
    at += width;
    return std::string(part);
  };
  TOnlineLine f;
  f.termNo = take(3);
  f.cardNo = take(static_cast<std::size_t>(std::max(cardDigits, 0)));
  f.year = take(4);
  f.month = take(2);
  f.day = take(2);
  f.hour = take(2);
  f.minute = take(2);
  f.second = take(2);
  f.dirFlag = take(1);
  f.eventFlag = take(2);
  f.functionCode = at < line.size() ? std::string(line.substr(at)) : std::string();
  return f;
}

}  // namespace korvo
