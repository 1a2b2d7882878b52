#include "cards/ui/ActivityModel.h"

#include <exception>

namespace korvo {

TActivityModel::TActivityModel(TDatabase& db, QObject* parent) : QAbstractTableModel(parent), db_(db) {}

TActivityModel::~TActivityModel() = default;

std::vector<TActivityListRow> TActivityModel::Read(TActivityRowSource& source, int offset) {
  std::vector<TActivityListRow> rows = source.Fetch(offset, kWindow);
  ++windows_;
  return rows;
}

void TActivityModel::Show(const TActivityRun& run) {
  auto source = std::make_unique<TActivityRowSource>(db_, run);
  const int windows = windows_;
  windows_ = 0;
  std::vector<TActivityListRow> first;
  try {
    first = Read(*source, 0);
  } catch (...) {
    windows_ = windows;
    throw;
  }
  beginResetModel();
  run_ = run;
  source_ = std::move(source);
  more_ = first.size() == static_cast<std::size_t>(kWindow);
  counted_ = false;
  rows_ = std::move(first);
  endResetModel();
}

int TActivityModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TActivityModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ActivityColumns().size());
}

QVariant TActivityModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
  return QString::fromStdString(
      ActivityCell(rows_[static_cast<std::size_t>(index.row())], ActivityColumns()[index.column()].field));
}

QVariant TActivityModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return QString(ActivityColumns()[section].caption);
}

bool TActivityModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && more_;
}

void TActivityModel::fetchMore(const QModelIndex& parent) {
  if (parent.isValid() || !more_ || !source_) return;
  const int offset = rowCount();
  std::vector<TActivityListRow> rows;
  try {
    // Deep in the list a window read by its offset would step over every row before it.
    if (!counted_ && offset >= kCountAfter) {
      source_->Count();
      counted_ = true;
    }
    rows = Read(*source_, offset);
  } catch (const std::exception& e) {
    more_ = false;
    if (OnError) OnError(e.what());
    return;
  }
  more_ =
      rows.size() == static_cast<std::size_t>(kWindow) && (!counted_ || offset + kWindow < source_->Count());
  if (rows.empty()) return;
  beginInsertRows({}, offset, offset + static_cast<int>(rows.size()) - 1);
  rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  endInsertRows();
}

}  // namespace korvo
