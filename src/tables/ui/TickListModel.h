#pragma once

#include <QAbstractListModel>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "tables/TablePages.h"

namespace korvo {

// A check list over rows of the page model: each row shown as its fixed-column text, with its tick
// as the check box. The rows stay the page model's records; the model only shows them, and a click
// on a check box changes the record's tick.
template <class T>
class TTickListModel : public QAbstractListModel {
 public:
  using TText = std::function<std::string(const T&)>;
  TTickListModel(std::vector<TTicked<T>>& rows, TText text, QObject* parent)
      : QAbstractListModel(parent), rows_(rows), text_(std::move(text)) {}

  // The rows were replaced or reordered.
  void Reset() {
    beginResetModel();
    endResetModel();
  }
  // Ticks or texts changed in place.
  void Refresh() {
    if (!rows_.empty()) emit dataChanged(index(0), index(rowCount() - 1));
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!Valid(index)) return {};
    const TTicked<T>& r = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) return QString::fromStdString(text_(r.row));
    if (role == Qt::CheckStateRole) return r.ticked ? Qt::Checked : Qt::Unchecked;
    return {};
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!Valid(index)) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!Valid(index) || role != Qt::CheckStateRole) return false;
    rows_[static_cast<std::size_t>(index.row())].ticked = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
  }

 private:
  bool Valid(const QModelIndex& index) const {
    return index.isValid() && index.row() >= 0 && index.row() < rowCount();
  }

  std::vector<TTicked<T>>& rows_;
  TText text_;
};

}  // namespace korvo
