#include "store/Jobs.h"

namespace korvo {

TJobs::TGuard& TJobs::TGuard::operator=(TGuard&& other) noexcept {
  if (this != &other) {
    End();
    jobs_ = other.jobs_;
    other.jobs_ = nullptr;
  }
  return *this;
}

void TJobs::TGuard::End() {
  TJobs* jobs = jobs_;
  if (!jobs) return;
  jobs_ = nullptr;
  jobs->busy_ = false;
  jobs->stopRequested_ = false;
  jobs->caption_.clear();
  if (jobs->OnEnded) jobs->OnEnded();
}

TJobs::TGuard TJobs::Start(const std::string& caption) {
  if (busy_) return TGuard();
  busy_ = true;
  stopRequested_ = false;
  caption_ = caption;
  TGuard guard(this);  // ends the job again should a listener fail
  if (OnStarted) OnStarted(caption_);
  return guard;
}

}  // namespace korvo
