#include "main/ui/Adm.h"

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>

#include "main/Accounts.h"
#include "main/LoginLookup.h"
#include "main/ui/EnterKey.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/Schema.h"
#include "ui_Adm.h"

namespace korvo {
namespace {
void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
  auto* item = grid->item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    grid->setItem(row, column, item);
  }
  item->setText(text);
}
}  // namespace

TfAdm::TfAdm(TDM& dm, QWidget* parent) : TToolForm(dm, parent), ui_(std::make_unique<Ui::TfAdm>()) {
  ui_->setupUi(this);
  for (QLineEdit* secret : {ui_->edOld, ui_->edNew})
    secret->setStyleSheet("lineedit-password-character: 42");  // shown as "*"

  // The headings stand over the columns of the list: both grids split their width in halves.
  for (QTableWidget* grid : {ui_->sg, ui_->sgAdm}) {
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->setWordWrap(false);
  }
  // Tab leaves the list for the next control instead of walking its cells (each cell step would
  // copy a name into edName).
  ui_->sgAdm->setTabKeyNavigation(false);
  ui_->sg->setFixedHeight(ui_->sg->rowHeight(0) + 2 * ui_->sg->frameWidth());
  for (QWidget* w : {static_cast<QWidget*>(ui_->edName), static_cast<QWidget*>(ui_->edOld),
                     static_cast<QWidget*>(ui_->edNew), static_cast<QWidget*>(ui_->bbEdit)})
    w->installEventFilter(this);
  connect(ui_->bbEdit, &QPushButton::clicked, this, &TfAdm::bbEditClick);
  connect(ui_->bbDel, &QPushButton::clicked, this, &TfAdm::bbDelClick);
  connect(ui_->bbClose, &QPushButton::clicked, this, &TfAdm::bbCloseClick);
  connect(ui_->sgAdm, &QTableWidget::cellClicked, this, &TfAdm::sgAdmSelectCell);
  connect(ui_->sgAdm, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
    if (row >= 0 && column >= 0) sgAdmSelectCell(row, column);
  });
}

TfAdm::~TfAdm() = default;

void TfAdm::FillList() {
  SetCell(ui_->sg, 0, 0, "          Login Name");
  SetCell(ui_->sg, 0, 1, "     Password");
  auto names = LoginNames(dm_);
  if (names.empty()) return;
  // A refill is no selection by the operator: it must not copy a name into the field.
  QSignalBlocker quiet(ui_->sgAdm);
  ui_->sgAdm->setRowCount(static_cast<int>(names.size()));
  for (int row = 0; row < static_cast<int>(names.size()); ++row) {
    SetCell(ui_->sgAdm, row, 0, QString::fromStdString(names[static_cast<std::size_t>(row)]));
    SetCell(ui_->sgAdm, row, 1, "**********");
  }
}

void TfAdm::sgAdmSelectCell(int row, int column) {
  if (column == 0) {
    auto* item = ui_->sgAdm->item(row, column);
    ui_->edName->setText(item ? item->text() : QString());
  }
  ui_->edName->setEnabled(ui_->edName->text() != kAdministratorLogin);
}

void TfAdm::ClearFields() {
  ui_->edName->clear();
  ui_->edOld->clear();
  ui_->edNew->clear();
  // The name field no longer holds "Administrator", so it takes typing (and the cursor) again.
  ui_->edName->setEnabled(true);
  ui_->edName->setFocus();
}

void TfAdm::bbEditClick() {
  Guarded([this] {
    auto result = AddOrEditLogin(dm_, ui_->edName->text().toStdString(), ui_->edOld->text().toStdString(),
                                 ui_->edNew->text().toStdString(), [this] { FillList(); });
    if (result == TAccountResult::PasswordChanged || result == TAccountResult::LoginAdded) ClearFields();
  });
}

void TfAdm::bbDelClick() {
  Guarded([this] {
    auto result = DeleteLogin(dm_, ui_->edName->text().toStdString(), ui_->edOld->text().toStdString(),
                              [this] { FillList(); });
    if (result == TAccountResult::LoginDeleted) ClearFields();
  });
}

void TfAdm::bbCloseClick() {
  close();
}

bool TfAdm::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnterKeyPress(event)) {
    if (watched == ui_->edName || watched == ui_->bbEdit) {
      ui_->edOld->setFocus();
      return true;
    }
    if (watched == ui_->edOld) {
      ui_->edNew->setFocus();
      return true;
    }
    if (watched == ui_->edNew) {
      ui_->bbEdit->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace korvo
