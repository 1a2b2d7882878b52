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
        transcript(options.transcript ? options.transcript : std::make_shared<Transcript>()),
        perConnection(static_cast<std::size_t>(std::max(1, options.connections)), 0) {
    running = static_cast<int>(perConnection.size());
    for (std::size_t k = 0; k < perConnection.size(); ++k) threads.emplace_back([this, k] { run(k); });
  }

  ~Impl() {
    halt();
    for (auto& t : threads) t.join();
  }

  void halt() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    cv.notify_all();
  }

  bool stopped() const {
    std::lock_guard lock(mutex);
    return stopping;
  }

  // Waits until `until` or stop; false on stop.
  bool sleepUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex);
    return !cv.wait_until(lock, until, [&] { return stopping; });
  }

  std::string line(std::size_t connection, int index, std::mt19937& rng,
                   const std::vector<std::string>& cards) const {
    if (!options.lines.empty()) return options.lines[static_cast<std::size_t>(index)];
    const CivilTime now = localNow();
    std::uniform_int_distribution<std::size_t> pick(0, cards.size() - 1);
    std::uniform_int_distribution<int> eventDist(0, 19);
    const int e = eventDist(rng);
    std::string card = cards[pick(rng)];
    if (options.sequentialCards) {
      card = std::to_string(static_cast<long long>(connection) * options.count + index);
      const auto width = static_cast<std::size_t>(std::max(options.cardDigits, 1));
      if (card.size() < width) card.insert(0, width - card.size(), '0');
    }
    return formatLine(options.termNo, card, now, now.hour < 13 ? 'I' : 'O',
                      e <= 10 ? "00" : "0" + std::to_string(e - 10));
  }

  // When line `i` is due.
  std::chrono::steady_clock::time_point due(int i, std::chrono::steady_clock::time_point start,
                                            std::chrono::steady_clock::time_point previous) const {
    if (!options.gapsMs.empty()) {
      if (i == 0) return start;
      const auto g = static_cast<std::size_t>(i - 1);
      return previous + std::chrono::milliseconds(options.gapsMs[std::min(g, options.gapsMs.size() - 1)]);
    }
    if (options.linesPerSecond <= 0) return start;
    return start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(i / options.linesPerSecond));
  }

  // Connects, trying again after retryMs until it works or the pusher stops.
  int connectOnce() {
    for (;;) {
      if (stopped()) return -1;
      const int fd = connectTo(options.host, options.port, 1000);
      if (fd >= 0) return fd;
      {
        std::lock_guard lock(mutex);
        ++failures;
      }
      if (!sleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(options.retryMs)))
        return -1;
    }
  }

  void record(std::size_t connection, const std::string& text) {
    TranscriptEntry e;
    e.time = std::chrono::system_clock::now();
    e.front = Front::Pusher;
    e.where = options.port;
    e.channel = Channel::Plain;
    e.text = text;
    transcript->add(std::move(e));
    std::lock_guard lock(mutex);
    sentLines.push_back(text);
    ++perConnection[connection];
  }

  void run(std::size_t connection);

  OnlinePusherOptions options;
  std::shared_ptr<Transcript> transcript;
  mutable std::mutex mutex;
  mutable std::condition_variable cv;
  bool stopping = false;
  int running = 0;
  int failures = 0;
  std::vector<std::string> sentLines;
  std::vector<int> perConnection;
  std::vector<std::thread> threads;
};

void OnlinePusher::Impl::run(std::size_t connection) {
  std::mt19937 rng(options.seed + static_cast<unsigned>(connection));
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
  auto previous = start;
  int fd = -1;
  bool failed = false;
  for (int i = 0; i < total && !failed; ++i) {
    previous = due(i, start, previous);
    if (!sleepUntil(previous)) break;
    if (fd < 0) fd = connectOnce();
    if (fd < 0) break;
    const std::string text = line(connection, i, rng, cards);
    std::string bytes = text + options.lineEnd;
    if (i + 1 == total && !options.connectionPerLine) bytes += options.tail;
    if (!sendAll(fd, bytes)) {
      std::lock_guard lock(mutex);
      ++failures;
      failed = true;
      break;
    }
    record(connection, text);
    if (options.connectionPerLine) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd >= 0) {
    if (!failed && options.holdOpenMs > 0)
      sleepUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(options.holdOpenMs));
    ::close(fd);
  }
  {
    std::lock_guard lock(mutex);
    --running;
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
  return impl_->cv.wait_for(lock, timeout, [&] { return impl_->running == 0; });
}

bool OnlinePusher::done() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->running == 0;
}

int OnlinePusher::sent() const {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int>(impl_->sentLines.size());
}

std::vector<int> OnlinePusher::sentPerConnection() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->perConnection;
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
