#include "collect/MappingTable.h"

#include <algorithm>
#include <charconv>

#include "store/Database.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

// A stored value: an integer column's text as its number; an empty one is 0, which is what every
// reader of such a column takes a null for.
TValue ColumnValue(const TMappingTableDef& def, std::size_t column, const std::string& text) {
  if (!def.IsInteger(column)) return TextValue(text);
  const std::string t = TrimControl(text);
  if (t.empty()) return IntValue(0);
  std::int64_t value = 0;
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
  if (ec != std::errc() || end != t.data() + t.size())
    throw TDbError("'" + text + "' is not a valid integer value for field '" + def.fields[column] + "'");
  return IntValue(value);
}

}  // namespace

TMappingTable::TMappingTable(TDatabase& db, const TMappingTableDef& def) : db_(db), def_(def) {}

const TMappingRow& TMappingTable::Row(int row) const {
  if (row == current_ && state_ != TState::Browse) return edit_;
  return rows_.at(static_cast<std::size_t>(row));
}

void TMappingTable::Read() {
  TQuery q(db_);
  q.SetSQL(std::string("SELECT * FROM ") + def_.table + " ORDER BY " + def_.fields[0]);
  q.Open();
  rows_.clear();
  for (q.First(); !q.Eof(); q.Next()) {
    TMappingRow row(def_.fields.size());
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = q.FieldByName(def_.fields[i]).AsString();
    rows_.push_back(std::move(row));
  }
}

int TMappingTable::LeaveRow(int target) {
  if (state_ == TState::Browse) return target;
  if (modified_) {
    Post();
    return target;
  }
  const int left = current_;
  const bool dropped = state_ == TState::Insert;
  Cancel();
  return dropped && target > left ? target - 1 : target;
}

void TMappingTable::Refresh() {
  LeaveRow(current_);
  const std::string key = current_ >= 0 ? rows_[static_cast<std::size_t>(current_)][0] : std::string();
  const int old = current_;
  Read();
  auto it = std::find_if(rows_.begin(), rows_.end(), [&](const TMappingRow& r) { return r[0] == key; });
  if (it != rows_.end())
    current_ = static_cast<int>(it - rows_.begin());
  else
    current_ = rows_.empty() ? -1 : std::clamp(old, 0, RowCount() - 1);
}

void TMappingTable::MoveTo(int row) {
  if (rows_.empty() || row == current_) return;
  row = LeaveRow(row);
  if (rows_.empty()) return;
  current_ = std::clamp(row, 0, RowCount() - 1);
}

void TMappingTable::Insert() {
  LeaveRow(current_);
  const int at = std::max(current_, 0);
  rows_.insert(rows_.begin() + at, TMappingRow(def_.fields.size()));
  edit_ = TMappingRow(def_.fields.size());
  state_ = TState::Insert;
  modified_ = false;
  current_ = at;
}

void TMappingTable::SetValue(int row, int column, const std::string& value) {
  MoveTo(row);
  if (current_ < 0) return;
  if (state_ == TState::Browse) {
    edit_ = rows_[static_cast<std::size_t>(current_)];
    state_ = TState::Edit;
  }
  edit_.at(static_cast<std::size_t>(column)) = value;
  modified_ = true;
}

void TMappingTable::Post() {
  if (state_ == TState::Browse) return;
  if (TrimControl(edit_[0]).empty())
    throw TDbError(std::string("Field '") + def_.fields[0] + "' must have a value");
  const auto& f = def_.fields;
  std::vector<TValue> values;
  std::string names, marks, sets;
  for (std::size_t i = 0; i < f.size(); ++i) {
    values.push_back(ColumnValue(def_, i, edit_[i]));
    names += std::string(i ? "," : "") + f[i];
    marks += i ? ",?" : "?";
    sets += std::string(i ? "," : "") + f[i] + "=?";
  }
  if (state_ == TState::Insert) {
    db_.Execute(std::string("INSERT INTO ") + def_.table + " (" + names + ") VALUES (" + marks + ")", values);
  } else {
    values.emplace_back(rows_[static_cast<std::size_t>(current_)][0]);
    const int changed =
        db_.Execute(std::string("UPDATE ") + def_.table + " SET " + sets + " WHERE " + f[0] + "=?", values);
    if (changed == 0)
      throw TDbError(
          "Row cannot be located for updating. Some values may have been changed since it was last read.");
  }
  rows_[static_cast<std::size_t>(current_)] = edit_;
  ++postCount_;
  lastPostedKey_ = edit_[0];
  state_ = TState::Browse;
  modified_ = false;
}

void TMappingTable::Cancel() {
  if (state_ == TState::Insert) {
    rows_.erase(rows_.begin() + current_);
    current_ = rows_.empty() ? -1 : std::min(current_, RowCount() - 1);
  }
  state_ = TState::Browse;
  modified_ = false;
}

void TMappingTable::Delete() {
  if (state_ == TState::Insert) {
    Cancel();
    return;
  }
  Cancel();
  if (current_ < 0) return;
  // A row someone else deleted meanwhile is gone all the same.
  db_.Execute(std::string("DELETE FROM ") + def_.table + " WHERE " + def_.fields[0] + "=?",
              {rows_[static_cast<std::size_t>(current_)][0]});
  rows_.erase(rows_.begin() + current_);
  current_ = rows_.empty() ? -1 : std::min(current_, RowCount() - 1);
}

}  // namespace korvo
