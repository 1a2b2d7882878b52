#include "link/SerialBitRate.h"

// The kernel's termios2 clashes with glibc's <termios.h>, so it lives alone in this file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace korvo {

bool SetAnyBitRate(int fd, int baud) {
  if (baud <= 0) return false;
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ospeed = static_cast<speed_t>(baud);
  t.c_ispeed = static_cast<speed_t>(baud);
  if (::ioctl(fd, TCSETS2, &t) != 0) return false;
  // A driver may take the request and keep another rate: only the rate read back counts.
  termios2 back{};
  if (::ioctl(fd, TCGETS2, &back) != 0) return false;
  return back.c_ospeed == static_cast<speed_t>(baud);
}

int BitRateOf(int fd) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return -1;
  return static_cast<int>(t.c_ospeed);
}

}  // namespace korvo
