#include "cards/ActivityRows.h"

#include <sqlite3.h>

#include <algorithm>
#include <unordered_map>
#include <variant>

#include "store/Database.h"

namespace korvo {
namespace {

sqlite3_stmt* Stmt(void* p) {
  return static_cast<sqlite3_stmt*>(p);
}

void Bind(sqlite3_stmt* s, int index, const TValue& v) {
  if (const auto* text = std::get_if<std::string>(&v))
    sqlite3_bind_text(s, index, text->c_str(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
  else if (const auto* number = std::get_if<std::int64_t>(&v))
    sqlite3_bind_int64(s, index, *number);
  else if (const auto* real = std::get_if<double>(&v))
    sqlite3_bind_double(s, index, *real);
  else if (const auto* c = std::get_if<char>(&v))
    sqlite3_bind_text(s, index, c, 1, SQLITE_TRANSIENT);
  else
    sqlite3_bind_null(s, index);
}

TActivityListRow ReadRow(const TRowCursor& c) {
  return {c.Text(0), c.Text(1), c.Text(2), c.Text(3),  c.Text(4),  c.Text(5), c.Text(6),
          c.Text(7), c.Text(8), c.Text(9), c.Text(10), c.Text(11), c.Text(12)};
}

}  // namespace

TRowCursor::TRowCursor(TDatabase& db, const TSqlText& statement) : db_(db) {
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db.Handle(), statement.sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
    throw TDbError(sqlite3_errmsg(db.Handle()));
  stmt_ = s;
  for (std::size_t i = 0; i < statement.params.size(); ++i)
    Bind(s, static_cast<int>(i + 1), statement.params[i]);
}

TRowCursor::~TRowCursor() {
  sqlite3_finalize(Stmt(stmt_));
}

bool TRowCursor::Next() {
  const int rc = sqlite3_step(Stmt(stmt_));
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw TDbError(sqlite3_errmsg(db_.Handle()));
}

std::string TRowCursor::Text(int column) const {
  const auto* text = sqlite3_column_text(Stmt(stmt_), column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(Stmt(stmt_), column)))
              : std::string();
}

std::int64_t TRowCursor::Integer(int column) const {
  return sqlite3_column_int64(Stmt(stmt_), column);
}

void ForEachActivity(TDatabase& db, const TActivityRun& run, bool allColumns,
                     const std::function<void(const TActivityListRow&)>& row) {
  TRowCursor cursor(db, ActivityQuery(run, allColumns));
  while (cursor.Next()) row(ReadRow(cursor));
}

int TActivityRowSource::Count() {
  if (!ids_) {
    std::vector<std::int64_t> ids;
    TRowCursor cursor(db_, ActivityIdQuery(run_));
    while (cursor.Next()) ids.push_back(cursor.Integer(0));
    ids_ = std::move(ids);
  }
  return static_cast<int>(ids_->size());
}

std::vector<TActivityListRow> TActivityRowSource::Fetch(int offset, int limit) {
  std::vector<TActivityListRow> rows;
  if (offset < 0 || limit <= 0) return rows;
  // A sort that no index serves costs a pass over every row even for the first window: keep the
  // rowids of that one pass rather than sorting again for the count.
  const bool indexOrder = run_.form != TActivityForm::Short || run_.orderField.empty() ||
                          run_.orderField == "ftTime" || run_.orderField == "fsCardNo";
  if (!ids_ && !indexOrder) Count();
  if (!ids_) {
    TSqlText q = ActivityQuery(run_);
    q.sql += "LIMIT ? OFFSET ?\n";
    q.params.emplace_back(std::int64_t{limit});
    q.params.emplace_back(std::int64_t{offset});
    TRowCursor cursor(db_, q);
    while (cursor.Next()) rows.push_back(ReadRow(cursor));
    return rows;
  }
  const auto first =
      ids_->begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(ids_->size()));
  const auto last = first + std::min<std::ptrdiff_t>(limit, ids_->end() - first);
  const std::vector<std::int64_t> window(first, last);
  if (window.empty()) return rows;
  std::unordered_map<std::int64_t, TActivityListRow> byId;
  TRowCursor cursor(db_, ActivityRowsQuery(run_, window));
  while (cursor.Next()) byId.emplace(cursor.Integer(13), ReadRow(cursor));
  // A row deleted since the count is left out.
  for (std::int64_t id : window)
    if (auto it = byId.find(id); it != byId.end()) rows.push_back(std::move(it->second));
  return rows;
}

}  // namespace korvo
