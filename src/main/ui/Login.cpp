#include "main/ui/Login.h"

#include <QEvent>
#include <exception>

#include "main/ui/EnterKey.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "ui_Login.h"

namespace korvo {

TfLogin::TfLogin(TDM& dm, std::function<void()> endProgram, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      dm_(dm),
      endProgram_(std::move(endProgram)),
      session_(dm),
      ui_(std::make_unique<Ui::TfLogin>()) {
  ui_->setupUi(this);
  ui_->edPass->setStyleSheet("lineedit-password-character: 42");  // shown as "*"
  ui_->edName->installEventFilter(this);
  ui_->edPass->installEventFilter(this);
  connect(ui_->bbOK, &QPushButton::clicked, this, &TfLogin::bbOKClick);
  connect(ui_->bbCancel, &QPushButton::clicked, this, &TfLogin::bbCancelClick);
}

TfLogin::~TfLogin() = default;

void TfLogin::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TfLogin::FormActivate() {
  try {
    ui_->edName->setText(QString::fromStdString(session_.Activate()));
  } catch (const std::exception& e) {
    dm_.Ui.Error(e.what());
  }
  ui_->edPass->setFocus();
}

bool TfLogin::eventFilter(QObject* watched, QEvent* event) {
  if (IsEnterKeyPress(event)) {
    if (watched == ui_->edName) {
      ui_->edPass->setFocus();  // edNameKeyPress
      return true;
    }
    if (watched == ui_->edPass) {
      ui_->bbOK->click();  // edPassKeyPress
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfLogin::bbOKClick() {
  TLoginResult result;
  try {
    result = session_.Login(ui_->edName->text().toStdString(), ui_->edPass->text().toStdString());
  } catch (const std::exception& e) {
    dm_.Ui.Error(e.what());
    return;
  }
  switch (result) {
    case TLoginResult::Nothing:
      break;
    case TLoginResult::LoggedIn:
      accept();
      break;
    case TLoginResult::WrongPassword:
      ui_->edPass->clear();
      ui_->edPass->setFocus();
      break;
    case TLoginResult::UnknownName:
      ui_->edName->clear();
      ui_->edPass->clear();
      ui_->edName->setFocus();
      break;
    case TLoginResult::ProgramEnds:
      EndProgram();
      break;
  }
}

void TfLogin::bbCancelClick() {
  EndProgram();
}

void TfLogin::reject() {
  bbCancelClick();
}

void TfLogin::EndProgram() {
  if (endProgram_) endProgram_();
  done(QDialog::Rejected);
}

}  // namespace korvo
