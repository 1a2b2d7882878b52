#pragma once

#include <QWidget>
#include <functional>
#include <string>

namespace korvo {

class TDM;

// The base of every tool window. A tool window runs its terminal job through RunJob, under the one
// job guard of the data module: the job runs on the user-interface thread and lets window messages
// through while it waits, so the operator may close the window (its own button, the toolbar or menu
// toggle, the close box) or the main window in the middle of it. Such a close asks the job to stop
// at its next abort point (TJobs::StopRequested) and is carried out when the job has returned; the
// window is never destroyed under its own job.
//
// A timer of a tool window that reads a terminal asks MayReadTerminal() first and skips that read
// while any job runs: the read would be a conversation inside another one.
class TToolForm : public QWidget {
  Q_OBJECT
 public:
  explicit TToolForm(TDM& dm, QWidget* parent = nullptr);
  ~TToolForm() override;

  // Runs `job` as the terminal job described by `caption`. Ignored (false) while any job runs. An
  // error ends the job and is shown in the error box. A close asked for meanwhile follows it.
  bool RunJob(const std::string& caption, const std::function<void()>& job);
  // Runs `work` inside the job that is running already, such as a terminal switch that refreshes
  // this window: a close meanwhile waits for it as for the window's own job. Errors end it with the
  // error box.
  void JoinJob(const std::function<void()>& work);
  // This window's job is running.
  bool JobRunning() const { return jobRunning_; }
  bool StopRequested() const;
  bool MayReadTerminal() const;

 signals:
  // The window is closing for good: the main window clears its open flag and raises its button.
  void closed();

 protected:
  // A window's own closing work; runs once, when the window really closes.
  virtual void FormClose() {}
  // Runs an operator action; an error of the database or the link ends it with the error box.
  void Guarded(const std::function<void()>& action);
  void closeEvent(QCloseEvent* event) override;

  TDM& dm_;

 private:
  bool jobRunning_ = false;
  bool closePending_ = false;
  bool closed_ = false;
};

}  // namespace korvo
