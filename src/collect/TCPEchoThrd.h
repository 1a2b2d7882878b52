#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "collect/OnlineBatchQueue.h"
#include "collect/OnlineListenerOptions.h"

namespace korvo {

// Receives the lines of one accepted connection and hands them over in batches: the lines that
// arrive each within the line wait of the one before, at most the batch size. Lines end with LF,
// a CR before it is dropped; empty lines are left out. It sends nothing back. It ends when the peer
// closes the connection, on a receive error, on a line longer than the limit (with a log line), or
// when the listener stops: what has arrived by then is read, and its whole lines handed over.
// Bytes after the last line end are logged, never stored.
class TTCPEchoThrd {
 public:
  // Takes the connected socket `fd`; `stopFd` becomes readable when the listener stops.
  TTCPEchoThrd(int fd, int stopFd, const std::atomic<bool>& stopping, const TOnlineListenerOptions& options,
               TOnlineBatchQueue& queue);
  ~TTCPEchoThrd();
  TTCPEchoThrd(const TTCPEchoThrd&) = delete;
  TTCPEchoThrd& operator=(const TTCPEchoThrd&) = delete;

  void Run();

 private:
  using TTime = std::chrono::steady_clock::time_point;
  // Moves whole lines from the front of the received bytes into the batch, up to the batch size.
  // False (with a note) when a line is longer than the limit.
  bool TakeLines(TOnlineBatch& batch, TTime& deadline);
  // Reads what has already arrived, without waiting.
  void ReadArrived();
  bool Receive();  // false: closed or failed
  void Pause();

  int fd_;
  int stopFd_;
  const std::atomic<bool>& stopping_;
  const TOnlineListenerOptions& options_;
  TOnlineBatchQueue& queue_;
  std::string peer_;
  std::string received_;
};

}  // namespace korvo
