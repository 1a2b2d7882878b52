#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvo {

class TDatabase;
class TPreparedStatement;

// One transaction as the monitor lists it: the eight columns of its list, in order.
struct TMonitorRow {
  std::string cardNo;
  std::string idNo;
  std::string time;  // "yyyy/mm/dd hh:nn:ss"
  std::string name;
  std::string dir;
  std::string event;
  std::string location;
  std::string functionCode;
};

// A stored tActivities row with its time as the monitor shows it.
struct TStoredActivity {
  std::string cardNo;
  std::string time;  // "yyyy/mm/dd hh:nn:ss"
  std::string functionCode;
  std::string termNo;
  std::string eventFlag;
  std::string dirFlag;
};

// The look-ups behind one listed transaction: cardholder by card number, location by terminal
// number, direction text by direction flag, event text by event flag. A key without a row gives
// empty columns. The statements are prepared on first use and kept.
class TMonitorLookups {
 public:
  explicit TMonitorLookups(TDatabase& db);
  ~TMonitorLookups();

  TMonitorRow Row(const std::string& cardNo, const std::string& time, const std::string& functionCode,
                  const std::string& termNo, const std::string& eventFlag, const std::string& dirFlag);

 private:
  // The first row of a look-up, empty when there is none.
  std::vector<std::string> First(std::unique_ptr<TPreparedStatement>& st, const char* sql,
                                 const std::string& key);
  TDatabase& db_;
  std::unique_ptr<TPreparedStatement> employee_, terminal_, dir_, event_;
};

// The last `count` activities in the order they were stored, of one terminal or of all of them.
// Only those rows are read, however large the table.
std::vector<TStoredActivity> LatestActivities(TDatabase& db, const std::optional<std::string>& termNo,
                                              int count);

// The locations of the terminals in upper case, in address order.
std::vector<std::string> TerminalLocations(TDatabase& db);
// The terminal number of the first terminal whose upper-cased location is `location` upper-cased.
std::optional<std::string> TerminalOfLocation(TDatabase& db, const std::string& location);

// "yyyy/mm/dd hh:nn:ss" of a stored time.
std::string MonitorTimeText(const std::string& storedTime);

}  // namespace korvo
