#include "collect/ui/MappingModel.h"

#include <QLineEdit>

namespace korvo {

TMappingModel::TMappingModel(TDatabase& db, const TMappingTableDef& def, QStringList titles, TGuard guard,
                             QObject* parent)
    : QAbstractTableModel(parent), table_(db, def), titles_(std::move(titles)), guard_(std::move(guard)) {}

void TMappingModel::Change(bool rowsMayChange, const std::function<void()>& change) {
  if (rowsMayChange) beginResetModel();
  guard_(change);
  if (rowsMayChange)
    endResetModel();
  else if (table_.RowCount() > 0)
    emit dataChanged(index(0, 0), index(table_.RowCount() - 1, columnCount() - 1));
  emit CurrentMoved(table_.Current());
  emit DataChange();
}

void TMappingModel::Navigate(TButton button) {
  Change(true, [this, button] {
    switch (button) {
      case TButton::First:
        table_.First();
        break;
      case TButton::Prior:
        table_.Prior();
        break;
      case TButton::Next:
        table_.Next();
        break;
      case TButton::Last:
        table_.Last();
        break;
      case TButton::Insert:
        table_.Insert();
        break;
      case TButton::Delete:
        table_.Delete();
        break;
      case TButton::Post:
        table_.Post();
        break;
      case TButton::Cancel:
        table_.Cancel();
        break;
      case TButton::Refresh:
        table_.Refresh();
        break;
    }
  });
}

void TMappingModel::MoveTo(int row) {
  if (row == table_.Current()) return;
  // Leaving an untouched new row takes it away.
  Change(table_.State() == TMappingTable::TState::Insert, [this, row] { table_.MoveTo(row); });
}

int TMappingModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.RowCount();
}

int TMappingModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant TMappingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
  return QString::fromStdString(table_.Row(index.row()).at(static_cast<std::size_t>(index.column())));
}

QVariant TMappingModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return titles_.value(section);
  // The row marker of a data grid: the current row, and "*" for a row being inserted.
  if (section != table_.Current()) return QString();
  return table_.State() == TMappingTable::TState::Insert ? QStringLiteral("*") : QStringLiteral(">");
}

Qt::ItemFlags TMappingModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool TMappingModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  const std::string text = value.toString().toStdString();
  if (text == table_.Row(index.row()).at(static_cast<std::size_t>(index.column()))) return true;
  bool done = false;
  Change(table_.State() == TMappingTable::TState::Insert && index.row() != table_.Current(), [&] {
    table_.SetValue(index.row(), index.column(), text);
    done = true;
  });
  return done;
}

QWidget* TMappingDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  auto* model = qobject_cast<const TMappingModel*>(index.model());
  if (auto* line = qobject_cast<QLineEdit*>(editor); line && model)
    line->setMaxLength(model->Table().Def().widths.at(static_cast<std::size_t>(index.column())));
  return editor;
}

}  // namespace korvo
