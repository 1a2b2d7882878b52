#include "collect/OnlineBatchQueue.h"

namespace korvo {

void TOnlineBatchQueue::Submit(TOnlineBatch batch) {
  auto entry = std::make_shared<TEntry>();
  entry->batch = std::move(batch);
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(entry);
  }
  arrived_.notify_all();
  if (notify_) notify_();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return entry->done; });
}

void TOnlineBatchQueue::Finish(const std::shared_ptr<TEntry>& entry) {
  {
    std::lock_guard lock(mutex_);
    entry->done = true;
  }
  done_.notify_all();
}

int TOnlineBatchQueue::ProcessPending(const THandler& handler) {
  {
    std::lock_guard lock(mutex_);
    if (processing_) return 0;
    processing_ = true;
  }
  int count = 0;
  for (;;) {
    std::shared_ptr<TEntry> entry;
    {
      std::lock_guard lock(mutex_);
      if (pending_.empty()) {
        processing_ = false;
        return count;
      }
      entry = pending_.front();
      pending_.pop_front();
    }
    try {
      handler(entry->batch);
    } catch (...) {
      Finish(entry);
      std::lock_guard lock(mutex_);
      processing_ = false;
      throw;
    }
    Finish(entry);
    ++count;
  }
}

bool TOnlineBatchQueue::WaitPending(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return arrived_.wait_for(lock, timeout, [&] { return !pending_.empty(); });
}

std::size_t TOnlineBatchQueue::Pending() const {
  std::lock_guard lock(mutex_);
  return pending_.size();
}

}  // namespace korvo
