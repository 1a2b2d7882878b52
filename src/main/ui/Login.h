#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "main/LoginSession.h"

namespace Ui {
class TfLogin;
}

namespace korvo {

class TDM;

// The login dialog. Its result is Accepted after a successful login. Cancel and the third failed
// attempt end the program: `endProgram` runs and the dialog closes with Rejected.
class TfLogin : public QDialog {
  Q_OBJECT
 public:
  TfLogin(TDM& dm, std::function<void()> endProgram, QWidget* parent = nullptr);
  ~TfLogin() override;

  void FormActivate();
  void bbOKClick();
  void bbCancelClick();
  // Escape and the window manager's close end the program as Cancel does.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void EndProgram();

  TDM& dm_;
  std::function<void()> endProgram_;
  TLoginSession session_;
  std::unique_ptr<Ui::TfLogin> ui_;
};

}  // namespace korvo
