#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/FakeSerialLine.h"

namespace korvo::test {

// One scripted terminal per serial port on a fake line: a plain line goes to the terminal of the
// port opened last, which answers with `answer` (an empty answer is silence). Frames go unanswered.
// Every plain line but the link's own "SETLOGON 0" is recorded with its port.
class TPortTerminals {
 public:
  explicit TPortTerminals(TFakeSerialLine& line);

  std::map<int, std::function<std::string(const std::string& line)>> answer;
  // "port:line", in the order they were sent.
  std::vector<std::string> lines;

 private:
  TFakeSerialLine& line_;
};

}  // namespace korvo::test
