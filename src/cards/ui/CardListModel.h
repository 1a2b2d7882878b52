#pragma once

#include <QAbstractTableModel>

#include "cards/CardPage.h"

namespace korvo {

// The cardholder list over the page's rows: column 0 is the tick, then "Card No", "ID Number",
// "Name", "Access Time", "PIN", "PIN Time" and the relay code. The texts are the row values, padded
// to their column widths for display only.
class TCardListModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TCardListModel(TCardPage& page, QObject* parent = nullptr)
      : QAbstractTableModel(parent), page_(page) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // After the page's rows were rebuilt.
  void Reload();
  void TickAll(bool ticked);

 private:
  TCardPage& page_;
};

}  // namespace korvo
