#pragma once

#include <string>
#include <vector>

namespace korvo {

class TDatabase;

// A table edited in a grid: its name and the columns shown, the key first, with the widths of the
// schema. The other columns of a row are left as they are.
struct TMappingTableDef {
  const char* table;
  std::vector<const char*> fields;
  std::vector<int> widths;
  // Columns of whole numbers: their text is bound as an integer (an empty one as 0), and a text
  // that is no integer is refused.
  std::vector<bool> integers = {};
  bool IsInteger(std::size_t column) const { return column < integers.size() && integers[column]; }
};
inline const TMappingTableDef kDirMapTable{
    "tDirMap", {"fcDirFlag", "fsDirCode", "fsDirDisplay"}, {10, 10, 30}};
inline const TMappingTableDef kEventMapTable{
    "tEventMap", {"fsEventFlag", "fsEventCode", "fsEventDisplay"}, {2, 10, 30}};

// One value per column of the definition.
using TMappingRow = std::vector<std::string>;

// The rows of a mapping table as a grid with a navigator edits them: a current row, and at most one
// row being edited or inserted, which reaches the database only when it is posted, by itself or by
// leaving it. Values go into the statements bound. Errors of the database and a row refused here are
// raised as TDbError; the row then stays in its edit, so the operator can mend it or cancel.
class TMappingTable {
 public:
  enum class TState { Browse, Edit, Insert };

  TMappingTable(TDatabase& db, const TMappingTableDef& def);

  const TMappingTableDef& Def() const { return def_; }
  TState State() const { return state_; }
  // The rows in key order as last read, with posted and inserted rows where they were edited. A row
  // being inserted counts.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The row as shown: the values being edited for the current row in an edit.
  const TMappingRow& Row(int row) const;
  // -1 when there is no row.
  int Current() const { return current_; }

  // Posts a pending edit, reads the rows anew in key order and stays on the same key where it is
  // still there.
  void Refresh();
  // Leaving the current row posts its edit first; a failed post keeps the current row.
  void MoveTo(int row);
  void First() { MoveTo(0); }
  void Prior() { MoveTo(current_ - 1); }
  void Next() { MoveTo(current_ + 1); }
  void Last() { MoveTo(RowCount() - 1); }
  // An empty row before the current one, in an insert.
  void Insert();
  // Deletes the current row from the table; a row being inserted is dropped, an edit is dropped
  // before its row is deleted.
  void Delete();
  // Moves to `row` and changes one of its values, beginning its edit.
  void SetValue(int row, int column, const std::string& value);
  // Writes the edited or inserted row. The key must hold more than blanks.
  void Post();
  void Cancel();
  // Rows written so far, and the key of the last one: what a window checks after a change.
  int PostCount() const { return postCount_; }
  const std::string& LastPostedKey() const { return lastPostedKey_; }

 private:
  void Read();
  // Before the cursor leaves the row: a changed row is posted, an untouched one cancelled. Returns
  // the index a row after the current one now has (an untouched inserted row goes away).
  int LeaveRow(int target);

  TDatabase& db_;
  TMappingTableDef def_;
  std::vector<TMappingRow> rows_;
  TMappingRow edit_;
  TState state_ = TState::Browse;
  bool modified_ = false;
  int current_ = -1;
  int postCount_ = 0;
  std::string lastPostedKey_;
};

}  // namespace korvo
