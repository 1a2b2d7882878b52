#include "cards/ActivityDelete.h"

#include "cards/ActivityRows.h"
#include "store/Database.h"

namespace korvo {

TDeleteCondition ActivityDeleteCondition(const TActivityFilter& f) {
  TDeleteCondition c;
  if (TimeRangeSet(f)) {
    const std::string from = StoredTimeOfDigits(f.timeFrom), to = StoredTimeOfDigits(f.timeTo);
    c.where.sql = "(ftTime BETWEEN ? AND ?) ";
    c.where.params = {from, to};
    c.shown = "(ftTime BETWEEN \"" + from + "\" AND \"" + to + "\") ";
  }
  if (CardRangeSet(f)) {
    const std::string lead = c.where.sql.empty() ? "" : "AND ";
    c.where.sql += lead + "fsCardNo BETWEEN ? AND ?";
    c.where.params.emplace_back(f.cardFrom);
    c.where.params.emplace_back(f.cardTo);
    c.shown += lead + "fsCardNo BETWEEN \"" + f.cardFrom + "\" AND \"" + f.cardTo + "\"";
  }
  return c;
}

int CountActivitiesToDelete(TDatabase& db, const TActivityFilter& filter) {
  const TDeleteCondition c = ActivityDeleteCondition(filter);
  TRowCursor cursor(db, {"SELECT COUNT(*) FROM tActivities WHERE " + c.where.sql, c.where.params});
  return cursor.Next() ? static_cast<int>(cursor.Integer(0)) : 0;
}

int DeleteActivities(TDatabase& db, const TActivityFilter& filter,
                     const std::function<void(const std::string&)>& log) {
  const TDeleteCondition c = ActivityDeleteCondition(filter);
  // An empty condition leaves "WHERE " incomplete: the engine's own error refuses it.
  const int deleted = db.Execute("DELETE FROM tActivities WHERE " + c.where.sql, c.where.params);
  if (log) log("Delete activities where " + c.shown + ": " + std::to_string(deleted) + " deleted.");
  db.Compact();
  return deleted;
}

}  // namespace korvo
