#pragma once

#include <functional>
#include <string>

#include "cards/ActivityQuery.h"

namespace korvo {

class TDatabase;

// The rows a delete removes: the time range, then the card range; either alone; or nothing at all,
// which the engine refuses. Event and location never narrow a delete. `shown` is the same
// condition with its values written out, for the log.
struct TDeleteCondition {
  TSqlText where;
  std::string shown;
};
TDeleteCondition ActivityDeleteCondition(const TActivityFilter& filter);

// How many rows the delete would remove, for the question asked before it. Raises the engine's
// error on an empty condition, as the delete itself does.
int CountActivitiesToDelete(TDatabase& db, const TActivityFilter& filter);

// Deletes the rows, writes a log line naming the condition and the count, and gives the freed space
// back. Raises the engine's error; nothing is deleted then. Returns the rows deleted.
int DeleteActivities(TDatabase& db, const TActivityFilter& filter,
                     const std::function<void(const std::string&)>& log);

}  // namespace korvo
