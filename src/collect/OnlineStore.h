#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "collect/OnlineLine.h"

namespace korvo {

class TDatabase;
class TPreparedStatement;

// Stores online transaction lines as tActivities rows: card number, time, the direction flag as
// received, event flag, terminal number and the function code mapped through tDirMap. Values are
// bound, never pasted into the statement, so a quote in a line is stored as received.
class TOnlineStore {
 public:
  // Shows one line before its row is stored, with its mapped function code.
  using TDisplay = std::function<void(const TOnlineLine& line, const std::string& mappedFunction)>;
  using TLog = std::function<void(const std::string& message)>;

  TOnlineStore(TDatabase& db, TLog log);
  ~TOnlineStore();

  // Stores a batch in arrival order, in one database transaction unless one is open already. A line
  // that cannot be stored (a time that is no real date, an engine error) is written to the log and
  // the rest of the batch is stored all the same. Returns the rows stored.
  int StoreBatch(const std::vector<std::string>& lines, int cardDigits, const TDisplay& display = {});

  // The tActivities values of a line, in column order, as they are stored; raises TDbError when
  // its time is no real date and time.
  static std::vector<std::string> RowValues(const TOnlineLine& line, const std::string& mappedFunction);

 private:
  void Prepare();
  void ReadFunctionMap();
  std::string MapFunction(const std::string& code) const;
  void NotStored(const std::string& line);

  TDatabase& db_;
  TLog log_;
  std::unique_ptr<TPreparedStatement> insert_;
  std::vector<std::pair<std::string, std::string>> functionMap_;
};

}  // namespace korvo
