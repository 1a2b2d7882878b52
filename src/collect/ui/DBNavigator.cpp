#include "collect/ui/DBNavigator.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMetaObject>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace korvo {
namespace {

struct TButtonLook {
  const char* name;
  const char* hint;
  QStyle::StandardPixmap icon;
};
constexpr std::array<TButtonLook, 9> kLooks{{
    {"nbFirst", "First record", QStyle::SP_MediaSkipBackward},
    {"nbPrior", "Prior record", QStyle::SP_MediaSeekBackward},
    {"nbNext", "Next record", QStyle::SP_MediaSeekForward},
    {"nbLast", "Last record", QStyle::SP_MediaSkipForward},
    {"nbInsert", "Insert record", QStyle::SP_FileDialogNewFolder},
    {"nbDelete", "Delete record", QStyle::SP_TrashIcon},
    {"nbPost", "Post edit", QStyle::SP_DialogApplyButton},
    {"nbCancel", "Cancel edit", QStyle::SP_DialogCancelButton},
    {"nbRefresh", "Refresh data", QStyle::SP_BrowserReload},
}};

}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  for (std::size_t i = 0; i < kLooks.size(); ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(kLooks[i].name);
    b->setToolTip(kLooks[i].hint);
    b->setIcon(style()->standardIcon(kLooks[i].icon));
    b->setEnabled(false);
    const auto button = static_cast<TButton>(i);
    connect(b, &QToolButton::clicked, this, [this, button] { Click(button); });
    row->addWidget(b);
    buttons_[i] = b;
  }
  row->addStretch();
}

void TDBNavigator::Bind(TMappingModel* model, QTableView* grid, std::function<bool()> confirmDelete) {
  model_ = model;
  grid_ = grid;
  confirmDelete_ = std::move(confirmDelete);
  grid_->setModel(model_);
  grid_->setItemDelegate(new TMappingDelegate(grid_));
  connect(model_, &TMappingModel::CurrentMoved, this, &TDBNavigator::FollowModel);
  connect(model_, &TMappingModel::DataChange, this, &TDBNavigator::UpdateButtons);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& now) {
            if (!following_ && now.isValid()) model_->MoveTo(now.row());
          });
  FollowModel(model_->Table().Current());
  UpdateButtons();
}

void TDBNavigator::CommitEditor() {
  QWidget* editor = grid_->indexWidget(grid_->currentIndex());
  if (!editor) return;
  // The grid's own slots: the value goes to the model and the editor closes.
  QMetaObject::invokeMethod(grid_, "commitData", Q_ARG(QWidget*, editor));
  QMetaObject::invokeMethod(grid_, "closeEditor", Q_ARG(QWidget*, editor),
                            Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}

void TDBNavigator::Click(TButton button) {
  if (!model_) return;
  CommitEditor();
  if (button == TButton::Delete && model_->Table().State() != TMappingTable::TState::Insert &&
      model_->Table().Current() >= 0 && confirmDelete_ && !confirmDelete_())
    return;
  model_->Navigate(button);
}

void TDBNavigator::FollowModel(int row) {
  following_ = true;
  const int column = std::max(grid_->currentIndex().column(), 0);
  if (row < 0)
    grid_->setCurrentIndex({});
  else if (grid_->currentIndex().row() != row)
    grid_->setCurrentIndex(model_->index(row, column));
  grid_->verticalHeader()->viewport()->update();
  following_ = false;
}

void TDBNavigator::UpdateButtons() {
  const TMappingTable& t = model_->Table();
  const bool rows = t.RowCount() > 0;
  Button(TButton::First)->setEnabled(rows && t.Current() > 0);
  Button(TButton::Prior)->setEnabled(rows && t.Current() > 0);
  Button(TButton::Next)->setEnabled(rows && t.Current() < t.RowCount() - 1);
  Button(TButton::Last)->setEnabled(rows && t.Current() < t.RowCount() - 1);
  Button(TButton::Delete)->setEnabled(rows);
  // Insert, post, cancel and refresh always act: a value still in an open editor is an edit the
  // table learns of only when a button commits it.
  for (TButton b : {TButton::Insert, TButton::Post, TButton::Cancel, TButton::Refresh})
    Button(b)->setEnabled(true);
}

}  // namespace korvo
