#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "main/ui/ToolForm.h"

class QMdiSubWindow;
class QTimer;

namespace Ui {
class TfLoadData;
}

namespace korvo {

class TDM;
class TfMain;
struct TDownloadSinks;

// The Load Data window's toolbar button, menu item, heading refresh on a terminal switch, and the
// immediate loading at start.
void RegisterLoadDataWindow(TfMain& main);

// What the Load Data window asks of the main window.
struct TLoadDataFrame {
  // The main window's tbLoad is still pressed: the countdown may start the download.
  std::function<bool()> LoadButtonDown;
  // The operator stopped an immediate loading: the main window does not start one again.
  std::function<void()> ImmediateLoadAborted;
  // Closes the main window, which ends the program.
  std::function<void()> EndProgram;
};

// The Load Data window: collects the transactions of the current terminal, or of every terminal with
// `cbAll`, into the database, the backup files and the output file, and lists what it stored in
// `lbData` and how it went in `lbStatus`. Opened by the immediate loading at start, it counts down
// five seconds, downloads from every terminal and ends the program.
class TfLoadData : public TToolForm {
  Q_OBJECT
 public:
  // lbData keeps the lines of indexes 0 to this; an older line makes room for a new one.
  static constexpr int kLastDataIndex = 30000;
  static constexpr int kCountDownSeconds = 5;

  TfLoadData(TDM& dm, TLoadDataFrame frame, QWidget* parent = nullptr);
  ~TfLoadData() override;

  // The heading pLoadData.
  void ShowLocation(const std::string& location);
  // The immediate loading's start: Load and Close wait for its download, and the countdown runs.
  void StartCountDown();
  void AddDataLine(const std::string& line);

  void bbLoadClick();
  void bbIgnoreClick();
  void bbCloseClick();
  // The window became the active child window of the main window.
  void FormActivate();
  void TimerTimer();

  bool AbortFlag() const { return abort_; }
  int CountDown() const { return countDown_; }

 protected:
  void FormClose() override;
  void showEvent(QShowEvent* event) override;

 private:
  // The download job. The immediate loading's run takes every terminal, tells its error only in the
  // log (nobody may be there to answer a box) and ends the program; an operator's run does neither.
  void Download(bool immediateRun);
  TDownloadSinks Sinks();
  void AddStatusLine(const std::string& line);
  void SetButtons(bool enabled);
  // Follows which child window of the main window is active, to tell when this one becomes it.
  void WatchActivation();
  void SubWindowActivated(QMdiSubWindow* window);

  std::unique_ptr<Ui::TfLoadData> ui_;
  TLoadDataFrame frame_;
  QTimer* timer_ = nullptr;
  bool abort_ = false;
  int countDown_ = kCountDownSeconds;
  bool watching_ = false;
  bool scrollPending_ = false;
  // The child window that was active last; a return from a message box or another program makes
  // no change here.
  QPointer<QMdiSubWindow> lastActive_;
};

}  // namespace korvo
