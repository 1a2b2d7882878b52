#pragma once

#include <functional>
#include <memory>
#include <string>

#include "config/HardwareForm.h"
#include "main/ui/ToolForm.h"

namespace Ui {
class TfHardware;
}

namespace korvo {

class TDM;
class TFormWidgets;

// The Hardware Configuration window: the current terminal's parameters on five pages, edited and
// sent back to it or to every terminal. The screen's state and rules are THardwareForm's; this
// window copies the form into its widgets and the operator's changes back, and runs the terminal
// work as jobs. Closing reports closed() and destroys the window; a close during a read or a send
// waits for it.
class TfHardware : public TToolForm {
  Q_OBJECT
 public:
  explicit TfHardware(TDM& dm, QWidget* parent = nullptr);
  ~TfHardware() override;

  // Reads the current terminal's parameters and shows them; false when they could not be read (the
  // operator has been told when the terminal did not answer). Runs inside a job: the opening's own
  // (RunJob) or a terminal switch's (JoinJob).
  bool ReadTerminalParams();

  void sbSendClick();
  void sbResetClick();
  void sbDefaultClick();
  void sbCloseClick();
  void rgSerialClick();
  void rgRelayClick();
  void cb1Click();
  void cbOnlineChange();
  void cbRevDirClick();
  void cbIdle3Change();
  // A pick in cbBaud, cbMode1 or cbMode3.
  void ListPick(const std::string& control);

  const THardwareForm& Form() const { return form_; }

 private:
  // The widgets into the form, the rule, the form into the widgets.
  void Apply(const std::function<void(THardwareForm&)>& rule);
  // A terminal step on a copy of the form: the operator may change the widgets while it talks to the
  // terminal, and what the step shows wins, also when it ends with an error.
  void ApplyTalking(const std::function<void(THardwareForm&)>& step);

  std::unique_ptr<Ui::TfHardware> ui_;
  std::unique_ptr<TFormWidgets> widgets_;
  THardwareForm form_;
};

}  // namespace korvo
