#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace korvo {

// What one connection received in one go: whole lines in arrival order, and the log lines the
// receiving thread has to say about the connection (it writes no log itself).
struct TOnlineBatch {
  std::string peer;
  std::vector<std::string> lines;
  std::vector<std::string> notes;
};

// Hands batches from the receiving threads to the one thread that stores and shows them. A
// receiving thread waits until its batch has been processed, so the storing thread sets the pace
// and nothing piles up in memory; the batches of all connections are processed one at a time.
class TOnlineBatchQueue {
 public:
  using THandler = std::function<void(TOnlineBatch& batch)>;

  // Called on the receiving thread after a batch came in: wake the storing thread. Set it before
  // any receiving thread runs.
  void SetNotify(std::function<void()> notify) { notify_ = std::move(notify); }

  // Receiving thread: hands the batch over and returns when it has been processed.
  void Submit(TOnlineBatch batch);

  // Storing thread: processes the waiting batches in arrival order, and those that arrive
  // meanwhile. A call from inside the handler (a nested event loop) processes nothing: the running
  // call goes on with the batches. Returns the batches processed.
  int ProcessPending(const THandler& handler);
  // Waits up to `timeout` for a batch; true when one is waiting.
  bool WaitPending(std::chrono::milliseconds timeout);
  std::size_t Pending() const;

 private:
  struct TEntry {
    TOnlineBatch batch;
    bool done = false;
  };
  void Finish(const std::shared_ptr<TEntry>& entry);

  std::function<void()> notify_;
  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::condition_variable done_;
  std::deque<std::shared_ptr<TEntry>> pending_;
  bool processing_ = false;
};

}  // namespace korvo
