#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "tables/ListOrder.h"
#include "tables/TablePages.h"

namespace korvo {

// A cardholder list view (Blacklist, Special, Biometrics, Admin): card number and name, the tick as
// the card's check box. On the Biometrics page a cardholder without a template is shown in blue
// italics, underlined.
class TTableCardListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  TTableCardListModel(std::vector<TTicked<TCardRow>>& rows, bool markNoTemplate, QObject* parent);

  void Reset();
  void Refresh();
  // The first row whose card number (or name) is the text, letter case and outer blanks ignored;
  // -1 when none is, or the text is empty.
  int Find(TCardColumn column, const QString& text) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  std::vector<TTicked<TCardRow>>& rows_;
  bool markNoTemplate_;
};

}  // namespace korvo
