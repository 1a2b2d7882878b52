#pragma once

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "collect/OnlineBatchQueue.h"
#include "collect/OnlineListenerOptions.h"

namespace korvo {

// The online monitor's listener: accepts connections on the online port and runs one receiving
// thread (TTCPEchoThrd) per connection, at most the configured number at once. Its threads only
// receive; their batches go to the queue, whose owner stores them.
class TTCPEchoDaemon {
 public:
  TTCPEchoDaemon(TOnlineListenerOptions options, TOnlineBatchQueue& queue);
  // Stops what still runs; batches handed over meanwhile are lost, so owners call Stop first.
  ~TTCPEchoDaemon();
  TTCPEchoDaemon(const TTCPEchoDaemon&) = delete;
  TTCPEchoDaemon& operator=(const TTCPEchoDaemon&) = delete;

  // Binds and listens, then accepts on a thread of its own. Empty on success, else the reason.
  std::string Start();
  bool Listening() const { return listenFd_ >= 0; }
  // The port listened on (the one the system chose for port 0).
  int Port() const { return port_; }

  // Closes the listening socket and ends every connection thread: each reads what has arrived and
  // hands its last whole lines over. Runs on the thread that owns the queue and gives the batches
  // that come meanwhile to `handler` there. Returns when every thread has ended.
  void Stop(const TOnlineBatchQueue::THandler& handler);

  int Connections() const;
  int PeakConnections() const;

 private:
  struct TConnection {
    std::thread thread;
    bool finished = false;
  };
  void Accept();
  void Serve(int fd);
  // Joins the threads that have ended.
  void Reap();

  TOnlineListenerOptions options_;
  TOnlineBatchQueue& queue_;
  int listenFd_ = -1;
  int stopPipe_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread listener_;

  mutable std::mutex mutex_;
  std::condition_variable slotFreed_;
  std::list<TConnection> connections_;
  int active_ = 0;
  int peak_ = 0;
};

}  // namespace korvo
