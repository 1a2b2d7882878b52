#include "main/ui/ToolForm.h"

#include <QCloseEvent>
#include <exception>

#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {

TToolForm::TToolForm(TDM& dm, QWidget* parent) : QWidget(parent), dm_(dm) {
  setAttribute(Qt::WA_DeleteOnClose);
}

TToolForm::~TToolForm() = default;

bool TToolForm::StopRequested() const {
  return dm_.Jobs.StopRequested();
}

bool TToolForm::MayReadTerminal() const {
  return !dm_.Jobs.Busy();
}

void TToolForm::Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    dm_.Ui.Error(e.what());
  }
}

bool TToolForm::RunJob(const std::string& caption, const std::function<void()>& job) {
  if (closed_ || closePending_) return false;
  TJobs::TGuard guard = dm_.Jobs.Start(caption);
  if (!guard) return false;
  jobRunning_ = true;
  Guarded(job);
  jobRunning_ = false;
  guard.End();
  // The close waited for the job; the window goes now, after its job has left the stack.
  if (closePending_) close();
  return true;
}

void TToolForm::JoinJob(const std::function<void()>& work) {
  if (closed_ || closePending_) return;
  const bool outer = jobRunning_;
  jobRunning_ = true;
  Guarded(work);
  jobRunning_ = outer;
  if (!outer && closePending_) close();
}

void TToolForm::closeEvent(QCloseEvent* event) {
  if (jobRunning_) {
    closePending_ = true;
    dm_.Jobs.RequestStop();
    event->ignore();
    return;
  }
  if (!closed_) {
    closed_ = true;
    FormClose();
    emit closed();
  }
  event->accept();
}

}  // namespace korvo
