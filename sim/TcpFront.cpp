#include "TcpFront.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>

#include "Deadline.h"
#include "OutputPacer.h"
#include "ReplyShaping.h"
#include "ServingThread.h"
#include "WakePipe.h"

namespace korvosim {

namespace {

using Clock = SteadyClock;
using std::chrono::milliseconds;

struct Listener {
  int fd = -1;
  std::shared_ptr<Terminal> terminal;
  Faults faults;
  int accepted = 0;
};

struct Pending {
  Clock::time_point due;
  std::string bytes;
  bool closeAfter = false;
};

struct Connection {
  int fd = -1;
  int port = 0;
  std::unique_ptr<StreamConversation> conversation;
  OutputPacer pacer;
  std::vector<Pending> pending;
  bool closeWhenSent = false;
};

int listenOn(const std::string& address, int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "socket");
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(static_cast<uint16_t>(port));
  if (::inet_pton(AF_INET, address.c_str(), &sa.sin_addr) != 1) {
    ::close(fd);
    throw std::invalid_argument("bad bind address " + address);
  }
  if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 16) != 0) {
    const int err = errno;
    ::close(fd);
    throw std::system_error(err, std::generic_category(), "listen on port " + std::to_string(port));
  }
  return fd;
}

int boundPort(int fd) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  return ntohs(sa.sin_port);
}

}  // namespace

struct TcpFront::Impl {
  explicit Impl(TcpFrontOptions o)
      : options(std::move(o)),
        transcript(options.transcript ? options.transcript : std::make_shared<Transcript>()) {
    serving.start([this] { run(); });
  }

  ~Impl() {
    serving.stop();
    for (auto& [port, l] : listeners)
      if (l.fd >= 0) ::close(l.fd);
    for (auto& c : connections) ::close(c.fd);
  }

  void run();
  void applySettings();
  void acceptOn(int port, Listener& l);
  bool serve(Connection& c, short revents, Clock::time_point now);
  void answer(Connection& c, const Listener& l, std::vector<Exchange> exchanges, Clock::time_point now);
  bool flush(Connection& c, Clock::time_point now);

  TcpFrontOptions options;
  std::shared_ptr<Transcript> transcript;
  WakePipe wake;
  mutable std::mutex mutex;
  std::condition_variable appliedCv;
  std::uint64_t wantedGeneration = 0;
  std::uint64_t appliedGeneration = 0;
  std::map<int, Listener> listeners;
  std::vector<Connection> connections;
  ServingThread serving{mutex, wake};  // last: the loop ends before the members it uses go
};

void TcpFront::Impl::applySettings() {
  for (auto& [port, l] : listeners) {
    if (l.faults.refuse && l.fd >= 0) {
      ::close(l.fd);
      l.fd = -1;
    } else if (!l.faults.refuse && l.fd < 0) {
      try {
        l.fd = listenOn(options.bindAddress, port);
      } catch (const std::exception&) {
        l.fd = -1;  // the port was taken meanwhile; tried again on the next change
      }
    }
  }
  appliedGeneration = wantedGeneration;
  appliedCv.notify_all();
}

void TcpFront::Impl::acceptOn(int port, Listener& l) {
  for (;;) {
    const int fd = ::accept4(l.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    ++l.accepted;
    Connection c;
    c.fd = fd;
    c.port = port;
    c.conversation = std::make_unique<StreamConversation>(l.terminal, Transport::Tcp, options.stream);
    c.pacer.setRate(l.faults.trickleBps ? l.faults.trickleBps : options.throttleBps);
    connections.push_back(std::move(c));
  }
}

void TcpFront::Impl::answer(Connection& c, const Listener& l, std::vector<Exchange> exchanges,
                            Clock::time_point now) {
  for (auto& ex : exchanges) {
    TranscriptEntry e;
    e.time = std::chrono::system_clock::now();
    e.front = Front::Tcp;
    e.where = c.port;
    e.channel = ex.channel;
    e.text = ex.command;
    e.reply = ex.reply.text;
    transcript->add(std::move(e));
    std::string bytes = shapeReply(ex.reply, l.faults);
    if (bytes.empty()) continue;
    Pending p{now + milliseconds(l.faults.delayMs), std::move(bytes), false};
    if (l.faults.dropMidListing && ex.reply.listing) {
      p.bytes.resize(p.bytes.size() / 2);
      p.closeAfter = true;
    }
    c.pending.push_back(std::move(p));
  }
}

bool TcpFront::Impl::flush(Connection& c, Clock::time_point now) {
  while (!c.pending.empty() && c.pending.front().due <= now) {
    c.pacer.push(c.pending.front().bytes);
    if (c.pending.front().closeAfter) c.closeWhenSent = true;
    c.pending.erase(c.pending.begin());
    if (c.closeWhenSent) {
      c.pending.clear();
      break;
    }
  }
  if (!c.pacer.empty() && !c.pacer.flush(c.fd, now)) return false;
  return !(c.closeWhenSent && c.pacer.empty());
}

// False when the connection is over.
bool TcpFront::Impl::serve(Connection& c, short revents, Clock::time_point now) {
  auto it = listeners.find(c.port);
  if (it == listeners.end()) return false;
  Listener& l = it->second;
  if (l.faults.neverRead) return !(revents & (POLLRDHUP | POLLHUP | POLLERR));
  if (revents & (POLLIN | POLLHUP | POLLERR)) {
    char buf[4096];
    for (;;) {
      const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
      if (n > 0) {
        answer(c, l, c.conversation->feed(std::string_view(buf, static_cast<std::size_t>(n)), now), now);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      c.conversation->finish();
      return false;
    }
  }
  answer(c, l, c.conversation->expire(now), now);
  return flush(c, now);
}

void TcpFront::Impl::run() {
  std::unique_lock lock(mutex);
  while (!serving.stopping()) {
    if (appliedGeneration != wantedGeneration) applySettings();
    const auto now = Clock::now();
    std::vector<pollfd> fds{{wake.fd(), POLLIN, 0}};
    std::vector<int> listenerPorts;
    for (auto& [port, l] : listeners) {
      if (l.fd < 0) continue;
      fds.push_back({l.fd, POLLIN, 0});
      listenerPorts.push_back(port);
    }
    Deadline next;
    const std::size_t firstConnection = fds.size();
    for (auto& c : connections) {
      const bool neverRead = listeners[c.port].faults.neverRead;
      short ev = neverRead ? static_cast<short>(POLLRDHUP) : static_cast<short>(POLLIN);
      if (c.pacer.blocked()) ev = static_cast<short>(ev | POLLOUT);
      fds.push_back({c.fd, ev, 0});
      for (const auto& p : c.pending) next.consider(p.due);
      next.consider(c.pacer.nextTime(now));
      next.consider(c.conversation->deadline());
    }

    lock.unlock();
    ::poll(fds.data(), fds.size(), next.pollTimeout(now));
    lock.lock();
    if (serving.stopping()) break;
    wake.drain();
    const auto t = Clock::now();
    for (std::size_t i = 0; i < listenerPorts.size(); ++i)
      if (fds[1 + i].revents & POLLIN) {
        auto& l = listeners[listenerPorts[i]];
        if (l.fd >= 0) acceptOn(listenerPorts[i], l);
      }
    // Connections accepted just now are served on the next turn.
    const std::size_t served = fds.size() - firstConnection;
    std::vector<Connection> kept;
    for (std::size_t i = 0; i < connections.size(); ++i) {
      Connection& c = connections[i];
      const short rev = i < served ? fds[firstConnection + i].revents : 0;
      if (serve(c, rev, t)) {
        kept.push_back(std::move(c));
      } else {
        ::close(c.fd);
      }
    }
    connections = std::move(kept);
  }
}

TcpFront::TcpFront(TcpFrontOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

TcpFront::~TcpFront() = default;

int TcpFront::add(std::shared_ptr<Terminal> terminal, int port) {
  if (!terminal) terminal = std::make_shared<Terminal>();
  const int fd = listenOn(impl_->options.bindAddress, port);
  const int bound = boundPort(fd);
  {
    std::lock_guard lock(impl_->mutex);
    Listener& l = impl_->listeners[bound];
    if (l.fd >= 0) ::close(l.fd);
    l = Listener{};
    l.fd = fd;
    l.terminal = std::move(terminal);
  }
  impl_->wake.notify();
  return bound;
}

std::shared_ptr<Terminal> TcpFront::terminal(int port) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->listeners.find(port);
  return it == impl_->listeners.end() ? nullptr : it->second.terminal;
}

std::vector<int> TcpFront::ports() const {
  std::lock_guard lock(impl_->mutex);
  std::vector<int> out;
  for (const auto& [port, l] : impl_->listeners) out.push_back(port);
  return out;
}

void TcpFront::setFaults(int port, const Faults& faults) {
  std::unique_lock lock(impl_->mutex);
  auto it = impl_->listeners.find(port);
  if (it == impl_->listeners.end()) return;
  it->second.faults = faults;
  for (auto& c : impl_->connections)
    if (c.port == port) c.pacer.setRate(faults.trickleBps ? faults.trickleBps : impl_->options.throttleBps);
  const auto wanted = ++impl_->wantedGeneration;
  impl_->wake.notify();
  impl_->appliedCv.wait(lock,
                        [&] { return impl_->appliedGeneration >= wanted || impl_->serving.stopping(); });
}

Faults TcpFront::faults(int port) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->listeners.find(port);
  return it == impl_->listeners.end() ? Faults{} : it->second.faults;
}

int TcpFront::accepted(int port) const {
  std::lock_guard lock(impl_->mutex);
  auto it = impl_->listeners.find(port);
  return it == impl_->listeners.end() ? 0 : it->second.accepted;
}

int TcpFront::openConnections() const {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int>(impl_->connections.size());
}

Transcript& TcpFront::transcript() const {
  return *impl_->transcript;
}

std::shared_ptr<Transcript> TcpFront::sharedTranscript() const {
  return impl_->transcript;
}

}  // namespace korvosim
