#include "TestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace simtest {

namespace {

using Clock = std::chrono::steady_clock;

unsigned char xorAll(const std::string& s) {
  unsigned char x = 0;
  for (unsigned char c : s) x ^= c;
  return x;
}

// Reads what `fd` delivers until `done` or the limit; false from `more` stops early (peer closed).
std::string collect(int fd, const std::function<bool(const std::string&)>& done, Ms limit, bool* closed) {
  std::string got;
  const auto end = Clock::now() + limit;
  while (!done(got)) {
    const auto left = std::chrono::duration_cast<Ms>(end - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buf[65536];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      got.append(buf, static_cast<std::size_t>(n));
    } else {
      if (closed) *closed = true;
      break;
    }
  }
  return got;
}

}  // namespace

std::string handFrame(const std::string& piece, int address) {
  char head[16];
  std::snprintf(head, sizeof head, ":%.3x%.2x ", static_cast<unsigned>(piece.size() + 9),
                static_cast<unsigned>(address));
  std::string f = head + piece;
  char sum[4];
  std::snprintf(sum, sizeof sum, "%.2x", xorAll(f));
  return f + sum;
}

std::optional<ReplyFrame> readReplyFrame(const std::string& text) {
  if (text.size() < 11 || text[0] != ':') return std::nullopt;
  ReplyFrame r;
  r.lengthField = text.substr(1, 3);
  r.addressField = text.substr(4, 2);
  r.status = text[6];
  r.data = text.substr(7, text.size() - 11);
  r.checksum = text.substr(text.size() - 4, 2);
  char expected[4];
  std::snprintf(expected, sizeof expected, "%.2x", xorAll(text.substr(0, text.size() - 4)));
  r.checksumMatches = r.checksum == expected && text.substr(text.size() - 2) == "\r\n";
  return r;
}

bool frameComplete(const std::string& text) {
  if (text.find(':') == std::string::npos || text.size() < 4) return false;
  char len[8];
  std::snprintf(len, sizeof len, "%.3x", static_cast<unsigned>(text.size()));
  return std::string(len) >= text.substr(1, 3);
}

PortSide::PortSide(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) throw std::runtime_error("cannot open " + path);
  termios t{};
  ::tcgetattr(fd_, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd_, TCSANOW, &t);
}

PortSide::~PortSide() {
  close();
}

void PortSide::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void PortSide::write(const std::string& bytes) const {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) done += static_cast<std::size_t>(n);
  }
}

std::string PortSide::readFor(Ms time) const {
  return collect(
      fd_, [](const std::string&) { return false; }, time, nullptr);
}

std::string PortSide::readUntil(const std::function<bool(const std::string&)>& done, Ms limit) const {
  return collect(fd_, done, limit, nullptr);
}

std::string PortSide::readUntilContains(const std::string& what, Ms limit) const {
  return readUntil([&](const std::string& s) { return contains(s, what); }, limit);
}

NetSide::NetSide(int port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<uint16_t>(port));
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

NetSide::~NetSide() {
  if (fd_ >= 0) ::close(fd_);
}

void NetSide::send(const std::string& bytes) const {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string NetSide::readFor(Ms time) {
  return collect(
      fd_, [](const std::string&) { return false; }, time, &peerClosed_);
}

std::string NetSide::readUntil(const std::function<bool(const std::string&)>& done, Ms limit) {
  return collect(fd_, done, limit, &peerClosed_);
}

std::string NetSide::readUntilContains(const std::string& what, Ms limit) {
  return readUntil([&](const std::string& s) { return contains(s, what); }, limit);
}

bool NetSide::closedWithin(Ms limit) {
  if (!peerClosed_) readFor(limit);
  return peerClosed_;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  std::string w;
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n') {
      if (!w.empty()) out.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  if (!w.empty()) out.push_back(w);
  return out;
}

}  // namespace simtest
