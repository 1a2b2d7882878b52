#include "support/LogMessages.h"

namespace korvo::test {

std::vector<std::string> LogMessages(const std::string& logText) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < logText.size()) {
    auto end = logText.find("\r\n", pos);
    if (end == std::string::npos) end = logText.size();
    out.push_back(logText.substr(pos + 21, end - pos - 21));
    pos = end + 2;
  }
  return out;
}

}  // namespace korvo::test
