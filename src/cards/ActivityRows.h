#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cards/ActivityQuery.h"

namespace korvo {

class TDatabase;

// Steps through the rows of a statement one at a time, without holding the result in memory: the
// list and its exports must cope with a million activities.
class TRowCursor {
 public:
  TRowCursor(TDatabase& db, const TSqlText& statement);
  ~TRowCursor();
  TRowCursor(const TRowCursor&) = delete;
  TRowCursor& operator=(const TRowCursor&) = delete;
  // False at the end; raises TDbError with the engine's message.
  bool Next();
  std::string Text(int column) const;
  std::int64_t Integer(int column) const;

 private:
  TDatabase& db_;
  void* stmt_ = nullptr;
};

// Calls `row` for every row of the run, in the run's order; `allColumns` as for ActivityQuery.
void ForEachActivity(TDatabase& db, const TActivityRun& run, bool allColumns,
                     const std::function<void(const TActivityListRow&)>& row);

// The rows of a run for a grid that shows a window of them at a time. Nothing is read until asked
// for. Counting also keeps the rowids of the run in its order (8 bytes a row), so that every later
// window, however deep and whatever the sort, reads only its own rows; before the count a window is
// read by its offset.
class TActivityRowSource {
 public:
  TActivityRowSource(TDatabase& db, TActivityRun run) : db_(db), run_(std::move(run)) {}
  const TActivityRun& Run() const { return run_; }
  // Counted once, on the first call.
  int Count();
  // At most `limit` rows from row `offset` (0-based) on.
  std::vector<TActivityListRow> Fetch(int offset, int limit);

 private:
  TDatabase& db_;
  TActivityRun run_;
  std::optional<std::vector<std::int64_t>> ids_;
};

}  // namespace korvo
