#pragma once

#include <memory>

#include "main/ui/ToolForm.h"

namespace Ui {
class TfAdm;
}

namespace korvo {

class TDM;

// The Administrator window: the login list, password changes, and adding and deleting logins with
// the Administrator's password. The password column never shows a password.
// Closing reports closed() (the main window clears its open flag and raises its button) and
// destroys the window.
class TfAdm : public TToolForm {
  Q_OBJECT
 public:
  explicit TfAdm(TDM& dm, QWidget* parent = nullptr);
  ~TfAdm() override;

  // Headings and one row per login; with no logins the grid keeps its rows.
  void FillList();
  void bbEditClick();
  void bbDelClick();
  void bbCloseClick();
  void sgAdmSelectCell(int row, int column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearFields();

  std::unique_ptr<Ui::TfAdm> ui_;
};

}  // namespace korvo
