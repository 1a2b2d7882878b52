#include "PtyPoll.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace korvosim {

void PtyPoll::wait(std::unique_lock<std::mutex>& lock, int timeoutMs, bool wantRoom) {
  if (hungUp_ && (timeoutMs < 0 || timeoutMs > 10)) timeoutMs = 10;
  pollfd fds[2] = {{wake_.fd(), POLLIN, 0}, {pty_.master(), 0, 0}};
  if (!hungUp_) fds[1].events = static_cast<short>(POLLIN | (wantRoom ? POLLOUT : 0));
  lock.unlock();
  ::poll(fds, hungUp_ ? 1 : 2, timeoutMs);
  if (hungUp_) {
    pollfd probe{pty_.master(), POLLIN, 0};
    ::poll(&probe, 1, 0);
    fds[1].revents = probe.revents;
  }
  lock.lock();
  wake_.drain();

  revents_ = fds[1].revents;
  closedNow_ = false;
  if ((revents_ & POLLHUP) && !(revents_ & POLLIN)) {
    closedNow_ = !hungUp_;
    hungUp_ = true;
  } else if (!(revents_ & POLLHUP)) {
    hungUp_ = false;
  }
}

bool PtyPoll::readable() const {
  return (revents_ & POLLIN) != 0;
}

void PtyPoll::read(const std::function<void(std::string_view)>& sink) const {
  char buf[4096];
  for (;;) {
    const ssize_t n = ::read(pty_.master(), buf, sizeof buf);
    if (n > 0) {
      sink(std::string_view(buf, static_cast<std::size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
}

}  // namespace korvosim
