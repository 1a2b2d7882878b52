#pragma once

#include <chrono>
#include <string>

namespace korvo {

class TClock;

// Local calendar fields of a clock reading.
struct TLocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, weekday = 0;  // weekday 0 = Sunday
};
TLocalTime ToLocal(std::chrono::system_clock::time_point t);

// The operator's monthly log in the program folder. Writing never fails visibly: an operator
// action must not be stopped because its log line could not be written.
class TMonthlyLog {
 public:
  TMonthlyLog(std::string programFolder, TClock& clock);
  void WriteLog(const std::string& message, bool stamped);
  // "LOG_mmyy.TXT" of the current month, with the folder.
  std::string CurrentPath();

 private:
  std::string folder_;
  TClock& clock_;
};

}  // namespace korvo
