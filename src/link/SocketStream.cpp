#include "link/SocketStream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace korvo {

bool ResolveIpv4(const std::string& host, in_addr& out) {
  // Terminals are addressed by dotted IPv4 addresses; no name is ever looked up.
  return !host.empty() && ::inet_pton(AF_INET, host.c_str(), &out) == 1;
}

TSocketStream::TSocketStream(TPollFn poll) : poll_(std::move(poll)) {
  if (!poll_) poll_ = [](pollfd* fds, nfds_t n, int ms) { return ::poll(fds, n, ms); };
}

TSocketStream::~TSocketStream() {
  Close();
}

short TSocketStream::WaitFor(short events, int limitMs) {
  if (fd_ < 0) return 0;
  pollfd p{fd_, events, 0};
  while (true) {
    int r = poll_(&p, 1, limitMs < 0 ? 0 : limitMs);
    if (r > 0) return p.revents;
    if (r == 0) return 0;
    if (errno != EINTR) return POLLERR;
  }
}

int TSocketStream::Connect(const std::string& host, int port, int limitMs) {
  Close();
  atEnd_ = false;
  in_addr ip{};
  if (!ResolveIpv4(host, ip)) return EHOSTUNREACH;
  if (port <= 0 || port > 65535) return EINVAL;
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return errno;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(port));
  to.sin_addr = ip;
  int rc = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to);
  int error = rc == 0 ? 0 : errno;
  if (error == EINPROGRESS) {
    if (WaitFor(POLLOUT, limitMs) == 0) {
      error = ETIMEDOUT;
    } else {
      socklen_t len = sizeof error;
      if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0) error = errno;
    }
  }
  if (error != 0) Close();
  return error;
}

bool TSocketStream::Write(std::string_view bytes, int limitMs) {
  if (fd_ < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    // MSG_NOSIGNAL: a peer that went away must give an error here, not end the program.
    ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      short ev = WaitFor(POLLOUT, limitMs);
      if (ev & POLLOUT) continue;
      return false;  // no room for limitMs: the peer does not read
    }
    atEnd_ = true;
    return false;
  }
  return true;
}

bool TSocketStream::WaitReadable(int limitMs) {
  if (AtEnd()) return true;
  return WaitFor(POLLIN, limitMs) != 0;
}

std::string TSocketStream::ReadSome(std::size_t maxBytes) {
  if (fd_ < 0 || maxBytes == 0) return {};
  std::string out(std::min<std::size_t>(maxBytes, 64 * 1024), '\0');
  while (true) {
    ssize_t n = ::recv(fd_, out.data(), out.size(), MSG_DONTWAIT);
    if (n > 0) {
      out.resize(static_cast<std::size_t>(n));
      return out;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return {};
    atEnd_ = true;  // orderly close (0) or a broken connection
    return {};
  }
}

void TSocketStream::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace korvo
