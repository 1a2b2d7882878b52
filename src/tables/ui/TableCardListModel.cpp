#include "tables/ui/TableCardListModel.h"

#include <QBrush>
#include <QFont>

#include "tables/TableText.h"

namespace korvo {

TTableCardListModel::TTableCardListModel(std::vector<TTicked<TCardRow>>& rows, bool markNoTemplate,
                                         QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), markNoTemplate_(markNoTemplate) {}

void TTableCardListModel::Reset() {
  beginResetModel();
  endResetModel();
}

void TTableCardListModel::Refresh() {
  if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int TTableCardListModel::Find(TCardColumn column, const QString& text) const {
  const std::string wanted = text.trimmed().toStdString();
  if (wanted.empty()) return -1;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const TCardRow& row = rows_[i].row;
    if (EqualsNoCase(column == TCardColumn::Card ? row.card : row.name, wanted)) return static_cast<int>(i);
  }
  return -1;
}

int TTableCardListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TTableCardListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant TTableCardListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const TTicked<TCardRow>& r = rows_[static_cast<std::size_t>(index.row())];
  const bool marked = markNoTemplate_ && !r.row.hasTemplate;
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(index.column() == 0 ? r.row.card : r.row.name);
    case Qt::CheckStateRole:
      if (index.column() == 0) return r.ticked ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ForegroundRole:
      return QBrush(marked ? Qt::blue : Qt::black);
    case Qt::FontRole:
      if (marked) {
        QFont font;
        font.setItalic(true);
        font.setUnderline(true);
        return font;
      }
      return {};
    default:
      return {};
  }
}

QVariant TTableCardListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("Card Number") : QStringLiteral("Name");
}

Qt::ItemFlags TTableCardListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

bool TTableCardListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || index.row() >= rowCount())
    return false;
  rows_[static_cast<std::size_t>(index.row())].ticked = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

}  // namespace korvo
