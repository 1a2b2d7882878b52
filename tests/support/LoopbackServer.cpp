#include "support/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace korvo::test {
namespace {

int BoundLoopbackSocket(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

}  // namespace

int ClosedLoopbackPort() {
  int port = 0;
  int fd = BoundLoopbackSocket(port);
  ::close(fd);
  return port;
}

bool TPeer::Fill(int waitMs) {
  pollfd p{fd_, POLLIN, 0};
  if (::poll(&p, 1, waitMs) <= 0) return false;
  char buf[65536];
  ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
  if (n <= 0) return false;
  pending_.append(buf, static_cast<std::size_t>(n));
  std::lock_guard lock(mutex_);
  all_.append(buf, static_cast<std::size_t>(n));
  return true;
}

std::optional<std::string> TPeer::ReadUntil(const std::string& terminator, int waitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (true) {
    auto at = pending_.find(terminator);
    if (at != std::string::npos) {
      std::string out = pending_.substr(0, at + terminator.size());
      pending_.erase(0, at + terminator.size());
      return out;
    }
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0 || !Fill(static_cast<int>(left))) return std::nullopt;
  }
}

std::optional<std::string> TPeer::ReadCount(std::size_t count, int waitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (pending_.size() < count) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0 || !Fill(static_cast<int>(left))) return std::nullopt;
  }
  std::string out = pending_.substr(0, count);
  pending_.erase(0, count);
  return out;
}

bool TPeer::Send(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool TPeer::WaitForClose(int waitMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (true) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buf[65536];
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) return true;
    pending_.append(buf, static_cast<std::size_t>(n));
    std::lock_guard lock(mutex_);
    all_.append(buf, static_cast<std::size_t>(n));
  }
}

bool TPeer::IdleUntilClosed(int waitMs) {
  pollfd p{fd_, POLLRDHUP, 0};
  return ::poll(&p, 1, waitMs) > 0;
}

std::string TPeer::Received() {
  std::lock_guard lock(mutex_);
  return all_;
}

TLoopbackServer::TLoopbackServer(TScript script) : script_(std::move(script)) {
  listenFd_ = BoundLoopbackSocket(port_);
  if (::listen(listenFd_, 16) != 0) throw std::runtime_error("listen");
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TLoopbackServer::~TLoopbackServer() {
  stop_ = true;
  acceptThread_.join();
  ::close(listenFd_);
  for (auto& w : workers_) w.join();
}

void TLoopbackServer::AcceptLoop() {
  while (!stop_) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    int index = connections_++;
    {
      std::lock_guard lock(mutex_);
      received_.resize(static_cast<std::size_t>(index) + 1);
    }
    workers_.emplace_back([this, fd, index] {
      TPeer peer(fd);
      script_(peer);
      std::string got = peer.Received();
      ::close(fd);
      std::lock_guard lock(mutex_);
      received_[static_cast<std::size_t>(index)] = got;
      ++finished_;
      finishedCv_.notify_all();
    });
  }
}

bool TLoopbackServer::WaitForFinished(int n, int waitMs) {
  std::unique_lock lock(mutex_);
  return finishedCv_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return finished_ >= n; });
}

std::string TLoopbackServer::Received(int i) {
  std::lock_guard lock(mutex_);
  return i < static_cast<int>(received_.size()) ? received_[static_cast<std::size_t>(i)] : std::string();
}

}  // namespace korvo::test
