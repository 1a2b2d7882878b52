#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "tools/SysInfoStatus.h"

class QLabel;

namespace korvo {

class TDM;

// The System Information window: nine read-only values about the program folder's disk, the current
// terminal and the database, filled once when the window is shown. It changes nothing.
class TfSysInfo : public QDialog {
  Q_OBJECT
 public:
  explicit TfSysInfo(TDM& dm, QWidget* parent = nullptr);

  // Fills the values; an error ends the filling with the error box, leaving the rest empty.
  void FormShow();
  QString Value(int field) const;

  // The figures of the program folder's disk; tests put fixed ones in.
  std::function<TDiskSpace(const std::string& folder)> DiskSpace = FolderDiskSpace;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TDM& dm_;
  std::array<QLabel*, 9> st_{};
  bool filled_ = false;
};

// The About box's Sys Info: the window, modal and centred over `over`, freed when it closes.
void ShowSysInfo(TDM& dm, QWidget* over);

}  // namespace korvo
