#include "config/ui/AddressGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include "config/AddressCells.h"

namespace korvo {
namespace {

constexpr int kNumberWidth = 36;
constexpr int kDotWidth = 10;

bool IsDot(const QKeyEvent* key) {
  return key->text() == ".";
}

// Number cells are edited in a line that takes at most three digits. A "." typed there ends the
// edit and moves on, as it does when no edit is open.
class TNumberDelegate : public QStyledItemDelegate {
 public:
  explicit TNumberDelegate(TAddressGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    auto* editor = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (editor) {
      editor->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), editor));
      editor->setFrame(false);
    }
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress && IsDot(static_cast<QKeyEvent*>(event))) {
      const int cell = grid_->currentColumn();
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      grid_->DotTyped(cell);
      return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  TAddressGrid* grid_;
};

}  // namespace

TAddressGrid::TAddressGrid(QWidget* parent) : QTableWidget(1, kAddressCells, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed);
  setTabKeyNavigation(false);
  setItemDelegate(new TNumberDelegate(this));
  int width = 2 * frameWidth();
  for (int cell = 0; cell < kAddressCells; ++cell) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    if (!IsNumberCell(cell)) item->setFlags(Qt::ItemIsEnabled);
    setItem(0, cell, item);
    setColumnWidth(cell, IsNumberCell(cell) ? kNumberWidth : kDotWidth);
    width += columnWidth(cell);
  }
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  setFixedSize(width, rowHeight(0) + 2 * frameWidth());
  SetAddressGrid({});
  setCurrentCell(0, 0);
}

void TAddressGrid::SetAddressGrid(const std::string& text) {
  const TAddressCells cells = SplitAddressCells(text);
  for (int cell = 0; cell < kAddressCells; ++cell)
    item(0, cell)->setText(QString::fromStdString(cells[cell]));
}

std::string TAddressGrid::GetAddressGrid() const {
  TAddressCells cells;
  for (int cell = 0; cell < kAddressCells; ++cell) cells[cell] = item(0, cell)->text().toStdString();
  return JoinAddressCells(cells);
}

bool TAddressGrid::DotTyped(int cell) {
  if (!IsNumberCell(cell) || cell + 2 >= kAddressCells) return false;
  setCurrentCell(0, cell + 2);
  return true;
}

void TAddressGrid::keyPressEvent(QKeyEvent* event) {
  // A "." never opens an edit: it moves on, or does nothing in the last number.
  if (IsDot(event)) {
    DotTyped(currentColumn());
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

QModelIndex TAddressGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  QModelIndex next = QTableWidget::moveCursor(action, modifiers);
  if (!next.isValid() || IsNumberCell(next.column())) return next;
  const bool left = action == MoveLeft || action == MovePrevious;
  const int column = next.column() + (left ? -1 : 1);
  return model()->index(0, column);
}

}  // namespace korvo
