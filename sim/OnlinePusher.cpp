#include "OnlinePusher.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>

namespace korvosim {

namespace {

int connectTo(const std::string& host, int port, int timeoutMs) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) return -1;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int result = fd;
  if (fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
    result = -1;
    if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int err = 0;
      socklen_t len = sizeof err;
      if (::poll(&p, 1, timeoutMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 &&
          err == 0)
        result = fd;
    }
  }
  ::freeaddrinfo(found);
  if (result < 0 && fd >= 0) ::close(fd);
  return result;
}

bool sendAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd p{fd, POLLOUT, 0};
      if (::poll(&p, 1, 2000) != 1) return false;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace

struct OnlinePusher::Impl {
  explicit Impl(OnlinePusherOptions o)
      : options(std::move(o)),
        transcript(options.transcript ? options.transcript : std::make_shared<Transcript>()) {
    thread = std::thread([this] { run(); });
  }

  ~Impl() {
    halt();
    thread.join();
  }

  void halt() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    cv.notify_all();
  }

  // Waits until `until` or stop; false on stop.
  bool sleepUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex);
    return !cv.wait_until(lock, until, [&] { return stopping; });
  }

  std::string line(int index, std::mt19937& rng, const std::vector<std::string>& cards) const {
    if (!options.lines.empty()) return options.lines[static_cast<std::size_t>(index)];
    const CivilTime now = localNow();
    std::uniform_int_distribution<std::size_t> pick(0, cards.size() - 1);
    std::uniform_int_distribution<int> eventDist(0, 19);
    const int e = eventDist(rng);
    return formatLine(options.termNo, cards[pick(rng)], now, now.hour < 13 ? 'I' : 'O',
                      e <= 10 ? "00" : "0" + std::to_string(e - 10));
  }

  void run();

  OnlinePusherOptions options;
  std::shared_ptr<Transcript> transcript;
  mutable std::mutex mutex;
  mutable std::condition_variable cv;
  bool stopping = false;
  bool finished = false;
  int failures = 0;
  std::vector<std::string> sentLines;
  std::thread thread;
};

void OnlinePusher::Impl::run() {
  std::mt19937 rng(options.seed);
  std::vector<std::string> cards;
  {
    long long top = 1;
    for (int i = 0; i < std::clamp(options.cardDigits, 1, 15); ++i) top *= 10;
    std::uniform_int_distribution<long long> dist(1, top - 1);
    for (int i = 0; i < std::max(1, options.cardholders); ++i) {
      std::string c = std::to_string(dist(rng));
      c.insert(0, static_cast<std::size_t>(std::max(0, options.cardDigits - static_cast<int>(c.size()))),
               '0');
      cards.push_back(c);
    }
  }
  int total = options.count;
  if (!options.lines.empty()) total = std::min<int>(total, static_cast<int>(options.lines.size()));
  const auto start = std::chrono::steady_clock::now();
  int fd = -1;
  for (int i = 0; i < total;) {
    if (options.linesPerSecond > 0) {
      const auto due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(i / options.linesPerSecond));
      if (!sleepUntil(due)) break;
    }
    {
      std::lock_guard lock(mutex);
      if (stopping) break;
    }
    if (fd < 0) fd = connectTo(options.host, options.port, 1000);
    if (fd < 0) {
      {
        std::lock_guard lock(mutex);
        ++failures;
      }
      if (!sleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(options.retryMs))) break;
      continue;
    }
    const std::string text = line(i, rng, cards);
    if (!sendAll(fd, text + "\r\n")) {
      ::close(fd);
      fd = -1;
      std::lock_guard lock(mutex);
      ++failures;
      continue;
    }
    TranscriptEntry e;
    e.time = std::chrono::system_clock::now();
    e.front = Front::Pusher;
    e.where = options.port;
    e.channel = Channel::Plain;
    e.text = text;
    transcript->add(std::move(e));
    {
      std::lock_guard lock(mutex);
      sentLines.push_back(text);
    }
    ++i;
    if (options.connectionPerLine) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd >= 0) ::close(fd);
  {
    std::lock_guard lock(mutex);
    finished = true;
  }
  cv.notify_all();
}

OnlinePusher::OnlinePusher(OnlinePusherOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

OnlinePusher::~OnlinePusher() = default;

std::string OnlinePusher::formatLine(const std::string& termNo, const std::string& card, const CivilTime& t,
                                     char direction, const std::string& event, const std::string& function) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string term = termNo;
  if (term.size() < 3) term.insert(0, 3 - term.size(), '0');
  return term + card + stamp + direction + event + function;
}

bool OnlinePusher::waitDone(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(impl_->mutex);
  return impl_->cv.wait_for(lock, timeout, [&] { return impl_->finished; });
}

bool OnlinePusher::done() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->finished;
}

int OnlinePusher::sent() const {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int>(impl_->sentLines.size());
}

int OnlinePusher::connectFailures() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->failures;
}

std::vector<std::string> OnlinePusher::sentLines() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->sentLines;
}

void OnlinePusher::stop() {
  impl_->halt();
}

Transcript& OnlinePusher::transcript() const {
  return *impl_->transcript;
}

}  // namespace korvosim
