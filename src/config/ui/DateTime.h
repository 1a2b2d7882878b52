#pragma once

#include <memory>
#include <string>

#include "main/ui/ToolForm.h"

class QTimer;

namespace Ui {
class TfDateTime;
}

namespace korvo {

class TDM;
class TfMain;

// The Time & Date window's toolbar button, menu item, refresh on a terminal switch, and the start-up
// clock synchronisation of every terminal.
void RegisterDateTimeWindow(TfMain& main);

// The Time & Date window: the PC clock on `bbSystem` and the current terminal's clock in `meMesin`,
// side by side; either sets the current terminal, or every terminal with `cbAll`, to its time.
// Closing reports closed() (the main window clears its open flag and raises tbTime) and destroys the
// window.
class TfDateTime : public TToolForm {
  Q_OBJECT
 public:
  explicit TfDateTime(TDM& dm, QWidget* parent = nullptr);
  ~TfDateTime() override;

  // On opening: the current terminal's location, then its clock, read as a job of this window.
  void ShowCurrentTerminal();
  // The current terminal changed inside the job of the terminal switch: the same, within that job.
  void FollowCurrentTerminal();

  void ShowLocation(const std::string& location);
  // 14 digits, shown as yyyy-mm-dd, hh:mm:ss, or the placeholder of a clock that was not read.
  void ShowTerminalTime(const std::string& clock);
  // The 14 digits typed or read, without the separators; the placeholder while it is shown.
  std::string MesinValue() const;
  // Sets the current terminal, or every terminal when cbAll is ticked, to `timeText`.
  void SetTimeOnTerminals(const std::string& timeText);

  void Timer1Timer();
  void bbSystemClick();
  void bbMesinClick();
  void meMesinKeyPress();
  void bbCloseClick();

 protected:
  void FormClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // meMesin := the current terminal's clock; runs inside a job.
  void ReadCurrentTerminal();
  void SetMask(char blank);

  std::unique_ptr<Ui::TfDateTime> ui_;
  QTimer* timer1_ = nullptr;
  // meMesin shows the placeholder: its digits are all blank, shown as "?".
  bool placeholder_ = false;
};

}  // namespace korvo
