#include "cards/ui/CardListModel.h"

#include "tables/TableText.h"

namespace korvo {

namespace {
const char* const kHeaders[] = {"",    "Card No",  "ID Number", "Name", "Access Time",
                                "PIN", "PIN Time", "Relay"};
}

int TCardListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(page_.rows.size());
}

int TCardListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 8;
}

QVariant TCardListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TCardListRow& r = page_.rows.at(static_cast<std::size_t>(index.row()));
  if (index.column() == 0)
    return role == Qt::CheckStateRole ? QVariant(r.ticked ? Qt::Checked : Qt::Unchecked) : QVariant();
  if (role != Qt::DisplayRole) return {};
  const std::string* texts[] = {&r.card, &r.idNo, &r.name, &r.access, &r.pin, &r.pinTime};
  if (index.column() == 7) return QString::fromStdString(r.relay);
  const int c = index.column() - 1;
  return QString::fromStdString(PadSpaces(*texts[c], kCardColumnWidths[c]));
}

bool TCardListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
  page_.rows.at(static_cast<std::size_t>(index.row())).ticked = value.toInt() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags TCardListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant TCardListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 7) return {};
  return QString(kHeaders[section]);
}

void TCardListModel::Reload() {
  beginResetModel();
  endResetModel();
}

void TCardListModel::TickAll(bool ticked) {
  for (auto& r : page_.rows) r.ticked = ticked;
  if (!page_.rows.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

}  // namespace korvo
