#pragma once

#include <functional>
#include <string>

namespace korvo {

// One terminal job at a time. A job (a conversation started by the operator, a read, a download, an
// upload) runs on the user-interface thread and handles pending window messages while it waits, so a
// click, a timer or a second button press can arrive in the middle of it. Every place that starts a
// job asks here first; a start while another job runs is refused, and whoever started the running job
// may be asked to stop it at its next abort point.
class TJobs {
 public:
  // Holds the running job; the job ends when its guard goes. An empty guard means the start was
  // refused.
  class TGuard {
   public:
    TGuard() = default;
    TGuard(TGuard&& other) noexcept : jobs_(other.jobs_) { other.jobs_ = nullptr; }
    TGuard& operator=(TGuard&& other) noexcept;
    TGuard(const TGuard&) = delete;
    TGuard& operator=(const TGuard&) = delete;
    ~TGuard() { End(); }
    explicit operator bool() const { return jobs_ != nullptr; }
    void End();

   private:
    friend class TJobs;
    explicit TGuard(TJobs* jobs) : jobs_(jobs) {}
    TJobs* jobs_ = nullptr;
  };

  // Starts a job unless one is running. `caption` says what it does, for whoever shows it.
  [[nodiscard]] TGuard Start(const std::string& caption);
  bool Busy() const { return busy_; }
  const std::string& Caption() const { return caption_; }

  // Asks the running job to stop at its next abort point; nothing happens when none runs.
  void RequestStop() {
    if (busy_) stopRequested_ = true;
  }
  bool StopRequested() const { return busy_ && stopRequested_; }

  // Told when a job starts and when it has ended (the windows show a wait cursor and a status text,
  // and a window that was closed during the job is destroyed after it).
  std::function<void(const std::string& caption)> OnStarted;
  std::function<void()> OnEnded;

 private:
  bool busy_ = false;
  bool stopRequested_ = false;
  std::string caption_;
};

}  // namespace korvo
