#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace korvo::test {

// One accepted connection as the scripted terminal sees it. Reads wait in real time, at most
// `waitMs`, so a script can never hang a test.
class TPeer {
 public:
  explicit TPeer(int fd) : fd_(fd) {}
  // Bytes up to and including `terminator`; nothing when it did not come in time or the link closed.
  std::optional<std::string> ReadUntil(const std::string& terminator, int waitMs = 5000);
  std::optional<std::string> ReadCount(std::size_t count, int waitMs = 5000);
  // False when the client went away.
  bool Send(const std::string& bytes);
  // Waits until the client closes its side (or `waitMs` passes); returns whether it did.
  bool WaitForClose(int waitMs = 20000);
  // Reads nothing at all until the client closes its side (or `waitMs` passes).
  bool IdleUntilClosed(int waitMs = 60000);
  // Every byte received on this connection, also those not read yet.
  std::string Received();

 private:
  bool Fill(int waitMs);
  int fd_;
  std::string pending_;
  std::string all_;
  std::mutex mutex_;
};

// A TCP listener on 127.0.0.1 with an ephemeral port; every connection runs the script on a
// thread of its own and is closed when the script returns.
class TLoopbackServer {
 public:
  using TScript = std::function<void(TPeer&)>;
  explicit TLoopbackServer(TScript script);
  ~TLoopbackServer();
  int Port() const { return port_; }
  int Connections() const { return connections_; }
  // Waits until `n` connections have finished their scripts.
  bool WaitForFinished(int n, int waitMs = 20000);
  // The bytes received on connection i (from 0), once finished.
  std::string Received(int i);

 private:
  void AcceptLoop();
  TScript script_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::thread acceptThread_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable finishedCv_;
  int finished_ = 0;
  std::vector<std::string> received_;
};

// A loopback port on which nothing listens: connecting to it is refused.
int ClosedLoopbackPort();

}  // namespace korvo::test
