#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "link/PortsConfig.h"
#include "link/QCCom32.h"
#include "link/TermiosSerialDevice.h"
#include "store/Clock.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TRecordingUi;
using test::TTempFolder;

TEST(PortsConfig, ComPortsMapToDevicePaths) {
  TTempFolder dir;
  EXPECT_EQ(SerialDevicePath(dir.Path(), 1), "/dev/ttyS0");
  EXPECT_EQ(SerialDevicePath(dir.Path(), 3), "/dev/ttyS2");
  EXPECT_EQ(SerialDevicePath(dir.Path(), 0), "");
  dir.Write("PORTS.CFG",
            "; adapters\r\n[Ports]\r\ncom3 = /dev/ttyUSB0\r\nCOM4=\r\n[Other]\r\nCOM5=/dev/null\r\n");
  EXPECT_EQ(SerialDevicePath(dir.Path(), 3), "/dev/ttyUSB0");
  EXPECT_EQ(SerialDevicePath(dir.Path(), 4), "/dev/ttyS3") << "an empty entry maps nothing";
  EXPECT_EQ(SerialDevicePath(dir.Path(), 5), "/dev/ttyS4") << "only the Ports section counts";
}

// A pseudo-terminal whose slave end plays the COM port.
struct TPty {
  int master = -1;
  std::string slave;
  TPty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) slave = ::ptsname(master);
    termios t{};
    if (!slave.empty() && ::tcgetattr(master, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(master, TCSANOW, &t);
    }
  }
  ~TPty() {
    if (master >= 0) ::close(master);
  }
  std::string ReadMaster(std::size_t want) {
    std::string out;
    for (int i = 0; i < 200 && out.size() < want; ++i) {
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, 10) > 0) {
        char buf[256];
        ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) out.append(buf, static_cast<std::size_t>(n));
      }
    }
    return out;
  }
};

int WaitForBytes(T_QCCom32& com, int want) {
  for (int i = 0; i < 200; ++i) {
    if (com.InCount() >= want) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return com.InCount();
}

TEST(TermiosSerialDevice, APseudoTerminalMappedInPortsCfgCarriesTheConversation) {
  TPty pty;
  ASSERT_FALSE(pty.slave.empty());
  TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\nCOM3=" + pty.slave + "\n");
  TRealClock clock;
  TRecordingUi ui;
  T_QCCom32 com{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
  com.SetPort(3);
  com.SetBaud(115200);
  ASSERT_TRUE(com.Open());
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_GE(com.Handle(), 0);

  termios t{};
  ASSERT_EQ(::tcgetattr(com.Handle(), &t), 0);
  EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B115200));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << "raw bytes, no echo, no line editing";
  EXPECT_EQ(t.c_cc[VMIN], 0);

  EXPECT_FALSE(com.EscapeFunction(T_QCCom32::SETRTS)) << "a pseudo-terminal has no RTS";
  EXPECT_EQ(com.Read(), "") << "nothing waiting, no wait";

  ASSERT_TRUE(com.Write(":00f01 GETVER5e"));
  EXPECT_EQ(pty.ReadMaster(15), ":00f01 GETVER5e");
  ASSERT_EQ(::write(pty.master, "KORVO\r\n", 7), 7);
  EXPECT_EQ(WaitForBytes(com, 7), 7);
  EXPECT_EQ(com.Read(), "KORVO\r\n");
  ASSERT_EQ(::write(pty.master, "stale", 5), 5);
  EXPECT_EQ(WaitForBytes(com, 5), 5);
  com.Purge();
  EXPECT_EQ(com.InCount(), 0);

  // The port is held exclusively.
  T_QCCom32 other{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
  other.SetPort(3);
  other.ShowErrors = false;
  EXPECT_FALSE(other.Open());
  com.Close();
  EXPECT_TRUE(other.Open());
}

TEST(TermiosSerialDevice, AMissingDeviceDoesNotOpen) {
  TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\nCOM2=" + dir.Path() + "no-such-tty\n");
  TRealClock clock;
  TRecordingUi ui;
  T_QCCom32 com{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
  com.SetPort(2);
  EXPECT_FALSE(com.Open());
  EXPECT_EQ(ui.Texts("abortretry"), std::vector<std::string>{"Error opening COM2: "});
  EXPECT_FALSE(dir.Exists("no-such-tty")) << "opening never creates the device";
}

}  // namespace
}  // namespace korvo
