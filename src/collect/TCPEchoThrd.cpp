#include "collect/TCPEchoThrd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace korvo {
namespace {

std::string PeerAddress(int fd) {
  sockaddr_storage addr{};
  socklen_t len = sizeof addr;
  if (::getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return {};
  char text[INET6_ADDRSTRLEN] = {};
  const void* where = addr.ss_family == AF_INET6
                          ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(&addr)->sin6_addr)
                          : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(&addr)->sin_addr);
  return ::inet_ntop(addr.ss_family, where, text, sizeof text) ? text : std::string();
}

}  // namespace

TTCPEchoThrd::TTCPEchoThrd(int fd, int stopFd, const std::atomic<bool>& stopping,
                           const TOnlineListenerOptions& options, TOnlineBatchQueue& queue)
    : fd_(fd), stopFd_(stopFd), stopping_(stopping), options_(options), queue_(queue) {}

TTCPEchoThrd::~TTCPEchoThrd() {
  if (fd_ >= 0) ::close(fd_);
}

bool TTCPEchoThrd::TakeLines(TOnlineBatch& batch, TTime& deadline) {
  std::size_t start = 0;
  bool tooLong = false;
  while (batch.lines.size() < options_.maxBatchLines) {
    const std::size_t lf = received_.find('\n', start);
    if (lf == std::string::npos) break;
    std::size_t end = lf;
    if (end > start && received_[end - 1] == '\r') --end;
    if (end - start > options_.maxLineBytes) {
      tooLong = true;
      break;
    }
    if (end > start) batch.lines.emplace_back(received_, start, end - start);
    start = lf + 1;
    deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.lineWaitMs);
  }
  received_.erase(0, start);
  // An unfinished line that is already too long is refused now, not when its end comes.
  const std::size_t unfinished = received_.find('\n') == std::string::npos ? received_.size() : 0;
  if (unfinished > options_.maxLineBytes + 1 ||
      (unfinished == options_.maxLineBytes + 1 && received_.back() != '\r'))
    tooLong = true;
  if (tooLong) {
    batch.notes.push_back("Online line longer than " + std::to_string(options_.maxLineBytes) +
                          " bytes, connection closed : " + peer_ + ".");
    received_.clear();
  }
  return !tooLong;
}

bool TTCPEchoThrd::Receive() {
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      received_.append(buffer, static_cast<std::size_t>(n));
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

void TTCPEchoThrd::ReadArrived() {
  // Bounded: a peer that keeps sending may neither hold the closing up nor fill the memory (a
  // terminal sends a few lines a second; what lies beyond this goes with the reset connection).
  constexpr std::size_t kMostAtClose = std::size_t{1} << 20;
  while (received_.size() < kMostAtClose) {
    const std::size_t before = received_.size();
    if (!Receive() || received_.size() == before) break;
  }
}

void TTCPEchoThrd::Pause() {
  pollfd p{stopFd_, POLLIN, 0};
  while (::poll(&p, 1, options_.idlePauseMs) < 0 && errno == EINTR) {
  }
}

void TTCPEchoThrd::Run() {
  peer_ = PeerAddress(fd_);
  if (peer_.empty()) return;
  bool open = true;
  bool closing = false;  // no more receiving: the peer went, or the listener stops
  while (open) {
    TOnlineBatch batch;
    batch.peer = peer_;
    TTime deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.lineWaitMs);
    for (;;) {
      if (!TakeLines(batch, deadline)) {
        open = false;
        break;
      }
      if (batch.lines.size() >= options_.maxBatchLines || closing) break;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
      const int ready = ::poll(p, 2, static_cast<int>(left.count()) + 1);
      if (ready < 0 && errno != EINTR) closing = true;
      if (ready <= 0) continue;
      if (p[1].revents != 0 || stopping_.load()) {
        ReadArrived();
        closing = true;
      } else if (p[0].revents != 0 && !Receive()) {
        closing = true;
      }
    }
    // Lines left over after a full batch at closing go in the next batches.
    if (closing && open && received_.find('\n') == std::string::npos) {
      open = false;
      if (!received_.empty())
        batch.notes.push_back("Online line without end not stored : " + received_ + ".");
    }
    if (!batch.lines.empty() || !batch.notes.empty())
      queue_.Submit(std::move(batch));
    else if (open && !closing)
      Pause();
  }
}

}  // namespace korvo
