#include "collect/OnlineActivities.h"

#include <algorithm>
#include <cctype>

#include "store/Database.h"

namespace korvo {

TMonitorLookups::TMonitorLookups(TDatabase& db) : db_(db) {}

TMonitorLookups::~TMonitorLookups() = default;

std::vector<std::string> TMonitorLookups::First(std::unique_ptr<TPreparedStatement>& st, const char* sql,
                                                const std::string& key) {
  if (!st) st = std::make_unique<TPreparedStatement>(db_, sql);
  auto row = st->FirstRow({key});
  return row ? std::move(*row) : std::vector<std::string>();
}

TMonitorRow TMonitorLookups::Row(const std::string& cardNo, const std::string& time,
                                 const std::string& functionCode, const std::string& termNo,
                                 const std::string& eventFlag, const std::string& dirFlag) {
  TMonitorRow r;
  r.cardNo = cardNo;
  r.time = time;
  r.functionCode = functionCode;
  const auto employee =
      First(employee_, "SELECT fsIDNo, fsName FROM tEmployees WHERE fsCardNo=? LIMIT 1", cardNo);
  if (!employee.empty()) {
    r.idNo = employee[0];
    r.name = employee[1];
  }
  auto one = [](const std::vector<std::string>& row) { return row.empty() ? std::string() : row[0]; };
  r.location = one(First(terminal_, "SELECT fsLocation FROM tTerminals WHERE fsTermNo=? LIMIT 1", termNo));
  r.dir = one(First(dir_, "SELECT fsDirDisplay FROM tDirMap WHERE fcDirFlag=? LIMIT 1", dirFlag));
  r.event = one(First(event_, "SELECT fsEventDisplay FROM tEventMap WHERE fsEventFlag=? LIMIT 1", eventFlag));
  return r;
}

std::string MonitorTimeText(const std::string& storedTime) {
  std::string t = storedTime;
  std::replace(t.begin(), t.end(), '-', '/');
  return t;
}

std::vector<TStoredActivity> LatestActivities(TDatabase& db, const std::optional<std::string>& termNo,
                                              int count) {
  // The newest rows by storing order (rowid), then turned back into that order.
  TQuery q(db);
  std::vector<TValue> params;
  std::string inner =
      "SELECT rowid AS r, fsCardNo, ftTime, fsFunctionCode, fsTermNo, fsEventFlag, fcDirFlag FROM "
      "tActivities";
  if (termNo) {
    inner += " WHERE fsTermNo=?";
    params.emplace_back(*termNo);
  }
  inner += " ORDER BY rowid DESC LIMIT ?";
  params.emplace_back(static_cast<std::int64_t>(std::max(count, 0)));
  q.SetSQL("SELECT * FROM (" + inner + ") ORDER BY r", std::move(params));
  q.Open();
  std::vector<TStoredActivity> rows;
  for (q.First(); !q.Eof(); q.Next())
    rows.push_back({q.Field(1).AsString(), MonitorTimeText(q.Field(2).AsString()), q.Field(3).AsString(),
                    q.Field(4).AsString(), q.Field(5).AsString(), q.Field(6).AsString()});
  return rows;
}

std::vector<std::string> TerminalLocations(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("SELECT fsLocation FROM tTerminals ORDER BY fsAddr");
  q.Open();
  std::vector<std::string> locations;
  for (q.First(); !q.Eof(); q.Next()) {
    std::string text = q.Field(0).AsString();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    locations.push_back(std::move(text));
  }
  return locations;
}

std::optional<std::string> TerminalOfLocation(TDatabase& db, const std::string& location) {
  TPreparedStatement st(db, "SELECT fsTermNo FROM tTerminals WHERE upper(fsLocation)=upper(?) LIMIT 1");
  const auto row = st.FirstRow({location});
  if (!row) return std::nullopt;
  return (*row)[0];
}

}  // namespace korvo
