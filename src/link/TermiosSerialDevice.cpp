#include "link/TermiosSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "link/PortsConfig.h"
#include "link/SerialBitRate.h"

namespace korvo {
namespace {

bool SpeedOf(int baud, speed_t& speed) {
  struct TRate {
    int baud;
    speed_t speed;
  };
  static constexpr TRate kRates[] = {
      {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
      {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
      {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
      {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
      {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
  };
  for (const auto& r : kRates)
    if (r.baud == baud) {
      speed = r.speed;
      return true;
    }
  return false;
}

tcflag_t SizeFlag(int byteSize) {
  switch (byteSize) {
    case 5:
      return CS5;
    case 6:
      return CS6;
    case 7:
      return CS7;
    default:
      return CS8;
  }
}

// A stalled writer (nobody draining the other end) gives up after this long without progress.
constexpr int kWriteStallMs = 2000;

}  // namespace

std::unique_ptr<TTermiosSerialDevice> TTermiosSerialDevice::OpenPath(const std::string& path,
                                                                     std::string& reason) {
  reason.clear();
  if (path.empty()) {
    reason = "No device path";
    return nullptr;
  }
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  // PORTS.CFG may name any path: a command written to a regular file would overwrite its bytes.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
    ::close(fd);
    reason = "Not a character device";
    return nullptr;
  }
  // No sharing: TIOCEXCL keeps ordinary users out, the lock also tells another instance of this
  // program (which may run as root) that the port is taken.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    reason = std::strerror(errno == EWOULDBLOCK ? EBUSY : errno);
    ::close(fd);
    return nullptr;
  }
  if (::isatty(fd)) ::ioctl(fd, TIOCEXCL);
  return std::unique_ptr<TTermiosSerialDevice>(new TTermiosSerialDevice(fd));
}

TTermiosSerialDevice::~TTermiosSerialDevice() {
  if (fd_ >= 0) {
    if (::isatty(fd_)) ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
}

// The tty layer's buffers are fixed; there is nothing to size.
bool TTermiosSerialDevice::SetBufferSizes(int, int) {
  return true;
}

bool TTermiosSerialDevice::ApplyLineSettings(const TLineSettings& s) {
  termios t{};
  if (::tcgetattr(fd_, &t) != 0) return false;
  // Raw mode is set whatever the rate: a port left cooked would turn CR into LF and echo.
  speed_t speed{};
  const bool namedRate = SpeedOf(s.baud, speed);
  ::cfmakeraw(&t);
  if (namedRate) {
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
  }
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= SizeFlag(s.byteSize) | CREAD | CLOCAL;
  switch (s.parity) {
    case 1:
      t.c_cflag |= PARENB | PARODD;
      break;
    case 2:
      t.c_cflag |= PARENB;
      break;
    case 3:
      t.c_cflag |= PARENB | PARODD | CMSPAR;
      break;
    case 4:
      t.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (s.parity != 0) t.c_iflag |= INPCK;
  // termios knows one and two stop bits; one and a half is sent as two.
  if (s.stopCode != 0) t.c_cflag |= CSTOPB;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  if (s.xonXoff) t.c_iflag |= IXON | IXOFF;
  t.c_cc[VSTART] = 17;
  t.c_cc[VSTOP] = 19;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::tcsetattr(fd_, TCSANOW, &t) != 0) return false;
  xonXoff_ = s.xonXoff;
  // Linux has no DSR flow control: with or without the handshake DTR is simply raised.
  SetDtr(true);
  SetRts(true);
  return namedRate || SetAnyBitRate(fd_, s.baud);
}

std::size_t TTermiosSerialDevice::Write(std::string_view bytes) {
  std::size_t done = 0;
  int stalledMs = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      stalledMs = 0;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) break;
    // The output queue is full: wait for room, not for time.
    pollfd p{fd_, POLLOUT, 0};
    int r = ::poll(&p, 1, 100);
    if (r < 0 && errno != EINTR) break;
    if (r == 0 && (stalledMs += 100) >= kWriteStallMs) break;
  }
  // Written synchronously, as the line direction is switched and the buffers purged right after a
  // frame. Under XON/XOFF the other end may hold the output for ever, so there it is left queued.
  if (done > 0 && !xonXoff_ && ::isatty(fd_)) ::tcdrain(fd_);
  return done;
}

int TTermiosSerialDevice::Waiting() {
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0) return 0;
  return n;
}

std::string TTermiosSerialDevice::Read(int count) {
  if (count <= 0) return {};
  std::string out(static_cast<std::size_t>(count), '\0');
  std::size_t got = 0;
  while (got < out.size()) {
    ssize_t n = ::read(fd_, out.data() + got, out.size() - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;  // nothing more waiting (EAGAIN), end of file or an error
  }
  out.resize(got);
  return out;
}

bool TTermiosSerialDevice::Purge() {
  return ::tcflush(fd_, TCIOFLUSH) == 0;
}

bool TTermiosSerialDevice::SetModemLine(int line, bool on) {
  int bits = line;
  return ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool TTermiosSerialDevice::SetRts(bool on) {
  return SetModemLine(TIOCM_RTS, on);
}
bool TTermiosSerialDevice::SetDtr(bool on) {
  return SetModemLine(TIOCM_DTR, on);
}

TSerialOpenResult TTermiosSerialFactory::Open(int port) {
  TSerialOpenResult result;
  std::string refusal;
  result.path = SerialDevicePath(programFolder_, port, &refusal);
  if (!refusal.empty()) {
    result.reason = refusal;
    return result;
  }
  result.device = TTermiosSerialDevice::OpenPath(result.path, result.reason);
  return result;
}

}  // namespace korvo
