#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "main/ui/ToolForm.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace korvo {

class TfMain;
class TListBoxLines;

// The Direct Command window's toolbar button and menu item.
void RegisterDirectWindow(TfMain& main);

// The Direct Command window: a command typed in edCmd goes to the current terminal on Enter, and
// its reply is laid out in lbResult; Ctrl+X brings the last command back. The list's pop-up menu
// saves it to a text file.
class TfDirect : public TToolForm {
  Q_OBJECT
 public:
  explicit TfDirect(TDM& dm, QWidget* parent = nullptr);
  ~TfDirect() override;

  void SetLocation(const QString& location);
  void edCmdEnter();
  void edCmdRecall();
  void PSaveClick();

  // The save dialog: the chosen name, or nothing when cancelled.
  std::function<std::optional<QString>()> SaveDialog;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* pDirect_ = nullptr;
  QLineEdit* edCmd_ = nullptr;
  QListWidget* lbResult_ = nullptr;
  std::unique_ptr<TListBoxLines> lines_;
};

}  // namespace korvo
