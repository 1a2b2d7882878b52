#include "Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <system_error>

namespace korvosim {

Pty::Pty() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master_ < 0) throw std::system_error(errno, std::generic_category(), "posix_openpt");
  char name[128];
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
    const int err = errno;
    ::close(master_);
    throw std::system_error(err, std::generic_category(), "pty slave");
  }
  slavePath_ = name;
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave >= 0) {
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
      ::cfmakeraw(&t);
      ::cfsetispeed(&t, B115200);
      ::cfsetospeed(&t, B115200);
      ::tcsetattr(slave, TCSANOW, &t);
    }
    ::close(slave);
  }
}

Pty::~Pty() {
  ::close(master_);
}

void Pty::discardOutput() const {
  ::tcflush(master_, TCOFLUSH);
}

}  // namespace korvosim
