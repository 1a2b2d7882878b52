#include "collect/TCPEchoDaemon.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "collect/TCPEchoThrd.h"

namespace korvo {
namespace {

// Closing resets the connection at once instead of lingering in TIME_WAIT.
void SetLingerOff(int fd) {
  linger l{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

// A peer that vanished without closing (power cut, cable pulled) would hold its slot for good.
void SetKeepAlive(int fd) {
  int on = 1, idle = 60, interval = 10, count = 3;
  ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

}  // namespace

TTCPEchoDaemon::TTCPEchoDaemon(TOnlineListenerOptions options, TOnlineBatchQueue& queue)
    : options_(std::move(options)), queue_(queue) {}

TTCPEchoDaemon::~TTCPEchoDaemon() {
  Stop([](TOnlineBatch&) {});
}

std::string TTCPEchoDaemon::Start() {
  if (listenFd_ >= 0) return {};
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(options_.port));
  if (::inet_pton(AF_INET, options_.bindAddress.c_str(), &addr.sin_addr) != 1)
    return "not an address: " + options_.bindAddress;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::strerror(errno);
  int on = 1;
  // A window opened again listens at once, though connections of the last one are still closing.
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  SetLingerOff(fd);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
      ::pipe2(stopPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    return reason;
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  listenFd_ = fd;
  stopping_ = false;
  listener_ = std::thread([this] { Accept(); });
  return {};
}

void TTCPEchoDaemon::Accept() {
  while (!stopping_) {
    Reap();
    {
      std::unique_lock lock(mutex_);
      // A connection beyond the limit waits in the backlog until a slot is free.
      if (!slotFreed_.wait_for(lock, std::chrono::milliseconds(options_.acceptWaitMs),
                               [&] { return stopping_ || active_ < options_.maxConnections; }))
        continue;
    }
    pollfd p[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (::poll(p, 2, options_.acceptWaitMs) <= 0 || p[1].revents != 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    SetLingerOff(fd);
    SetKeepAlive(fd);
    Serve(fd);
  }
}

void TTCPEchoDaemon::Serve(int fd) {
  std::lock_guard lock(mutex_);
  ++active_;
  peak_ = std::max(peak_, active_);
  auto& c = connections_.emplace_back();
  auto it = std::prev(connections_.end());
  try {
    c.thread = std::thread([this, fd, it] {
      {
        TTCPEchoThrd receiver(fd, stopPipe_[0], stopping_, options_, queue_);
        receiver.Run();
      }
      {
        std::lock_guard done(mutex_);
        it->finished = true;
        --active_;
      }
      slotFreed_.notify_all();
    });
  } catch (const std::system_error&) {
    // No thread to be had: the connection is refused rather than left waiting.
    connections_.erase(it);
    --active_;
    ::close(fd);
  }
}

void TTCPEchoDaemon::Reap() {
  std::list<TConnection> ended;
  {
    std::lock_guard lock(mutex_);
    for (auto it = connections_.begin(); it != connections_.end();) {
      auto next = std::next(it);
      if (it->finished) ended.splice(ended.end(), connections_, it);
      it = next;
    }
  }
  for (auto& c : ended) c.thread.join();
}

void TTCPEchoDaemon::Stop(const TOnlineBatchQueue::THandler& handler) {
  if (listenFd_ < 0) return;
  stopping_ = true;
  if (::write(stopPipe_[1], "x", 1) < 0) {
    // The pipe is empty and new: a write cannot fail short of a broken process.
  }
  slotFreed_.notify_all();
  if (listener_.joinable()) listener_.join();
  ::close(listenFd_);
  listenFd_ = -1;
  // The threads may be waiting with a batch for this very thread.
  for (;;) {
    queue_.ProcessPending(handler);
    {
      std::lock_guard lock(mutex_);
      if (active_ == 0) break;
    }
    queue_.WaitPending(std::chrono::milliseconds(20));
  }
  queue_.ProcessPending(handler);
  Reap();
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
  stopPipe_[0] = stopPipe_[1] = -1;
}

int TTCPEchoDaemon::Connections() const {
  std::lock_guard lock(mutex_);
  return active_;
}

int TTCPEchoDaemon::PeakConnections() const {
  std::lock_guard lock(mutex_);
  return peak_;
}

}  // namespace korvo
