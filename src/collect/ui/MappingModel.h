#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>

#include "collect/MappingTable.h"

namespace korvo {

class TDatabase;

// A mapping table for a grid: the rows and the edit of TMappingTable, column titles, and the
// navigator's operations. Errors of the table go to `guard`, which shows them; the table keeps its
// state then, and the grid follows its current row.
class TMappingModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum class TButton { First, Prior, Next, Last, Insert, Delete, Post, Cancel, Refresh };
  using TGuard = std::function<void(const std::function<void()>&)>;

  TMappingModel(TDatabase& db, const TMappingTableDef& def, QStringList titles, TGuard guard,
                QObject* parent = nullptr);

  const TMappingTable& Table() const { return table_; }
  void Navigate(TButton button);
  // The grid's cursor moved to `row`: an edit of the row it left is posted first.
  void MoveTo(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  // The data or the current row changed.
  void DataChange();
  // Where the grid's cursor belongs now.
  void CurrentMoved(int row);

 private:
  // Runs a change of the table, as a reset of the model when rows may come or go.
  void Change(bool rowsMayChange, const std::function<void()>& change);

  TMappingTable table_;
  QStringList titles_;
  TGuard guard_;
};

// Editors no longer than the columns of the schema.
class TMappingDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
};

}  // namespace korvo
