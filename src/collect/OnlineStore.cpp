#include "collect/OnlineStore.h"

#include <algorithm>
#include <exception>

#include "store/Database.h"
#include "store/TextCodec.h"

namespace korvo {

TOnlineStore::TOnlineStore(TDatabase& db, TLog log) : db_(db), log_(std::move(log)) {}

TOnlineStore::~TOnlineStore() = default;

std::vector<std::string> TOnlineStore::RowValues(const TOnlineLine& line, const std::string& mappedFunction) {
  return {line.cardNo,   ToStoredTime(line.TimeText()), line.dirFlag, line.eventFlag, line.termNo,
          mappedFunction};
}

void TOnlineStore::Prepare() {
  if (!insert_)
    insert_ = std::make_unique<TPreparedStatement>(db_, "INSERT INTO tActivities VALUES (?, ?, ?, ?, ?, ?)");
}

// The map is read anew for every batch: the operator may edit it while the monitor runs.
void TOnlineStore::ReadFunctionMap() {
  functionMap_.clear();
  TQuery q(db_);
  q.SetSQL("SELECT fcDirFlag, fsDirCode FROM tDirMap ORDER BY fcDirFlag");
  q.Open();
  for (q.First(); !q.Eof(); q.Next())
    functionMap_.emplace_back(TrimControl(q.Field(0).AsString()), q.Field(1).AsString());
}

// The code of the first row in key order whose key equals the function code, both trimmed, as the
// record services' seek finds it; the function code itself when there is none.
std::string TOnlineStore::MapFunction(const std::string& code) const {
  const std::string key = TrimControl(code);
  auto it =
      std::find_if(functionMap_.begin(), functionMap_.end(), [&](const auto& e) { return e.first == key; });
  return it == functionMap_.end() ? code : it->second;
}

void TOnlineStore::NotStored(const std::string& line) {
  if (log_) log_("Online line not stored : " + line + ".");
}

int TOnlineStore::StoreBatch(const std::vector<std::string>& lines, int cardDigits, const TDisplay& display) {
  try {
    Prepare();
    ReadFunctionMap();
  } catch (const TDbError&) {
    for (const auto& line : lines) NotStored(line);
    return 0;
  }
  // Inside a transaction someone else opened, the rows go with it; otherwise one commit per batch
  // instead of one disk sync per row.
  const bool own = !db_.InTransaction();
  std::vector<const std::string*> stored;
  try {
    if (own) db_.BeginTransaction();
  } catch (const TDbError&) {
  }
  for (const auto& text : lines) {
    const TOnlineLine line = CutOnlineLine(text, cardDigits);
    const std::string mapped = MapFunction(line.functionCode);
    if (display) {
      try {
        display(line, mapped);
      } catch (const std::exception&) {
        // A failed look-up of the display must not cost the row.
      }
    }
    try {
      const std::vector<std::string> v = RowValues(line, mapped);
      insert_->Execute({v[0], v[1], v[2], v[3], v[4], v[5]});
      stored.push_back(&text);
    } catch (const TDbError&) {
      NotStored(text);
    }
  }
  if (own && db_.InTransaction()) {
    try {
      db_.Commit();
    } catch (const TDbError&) {
      try {
        db_.Rollback();
      } catch (const TDbError&) {
      }
      for (const std::string* text : stored) NotStored(*text);
      return 0;
    }
  }
  return static_cast<int>(stored.size());
}

}  // namespace korvo
