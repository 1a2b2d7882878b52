#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class TfAdm;
}

namespace korvo {

class TDM;

// The Administrator window: the login list, password changes, and adding and deleting logins with
// the Administrator's password. The password column never shows a password.
class TfAdm : public QWidget {
  Q_OBJECT
 public:
  // `formClose` runs when the window closes itself: the main window clears its open flag and
  // raises its button. The window destroys itself on closing.
  TfAdm(TDM& dm, std::function<void()> formClose, QWidget* parent = nullptr);
  ~TfAdm() override;

  // Headings and one row per login; with no logins the grid keeps its rows.
  void FillList();
  void bbEditClick();
  void bbDelClick();
  void bbCloseClick();
  void sgAdmSelectCell(int row, int column);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearFields();
  void Guarded(const std::function<void()>& action);

  TDM& dm_;
  std::function<void()> formClose_;
  std::unique_ptr<Ui::TfAdm> ui_;
};

}  // namespace korvo
