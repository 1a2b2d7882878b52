#include "WakePipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

namespace korvosim {

WakePipe::WakePipe() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
    throw std::system_error(errno, std::generic_category(), "pipe2");
  read_ = fds[0];
  write_ = fds[1];
}

WakePipe::~WakePipe() {
  ::close(read_);
  ::close(write_);
}

void WakePipe::notify() {
  const char b = 1;
  [[maybe_unused]] auto n = ::write(write_, &b, 1);
}

void WakePipe::drain() {
  char buf[64];
  while (::read(read_, buf, sizeof buf) > 0) {
  }
}

}  // namespace korvosim
