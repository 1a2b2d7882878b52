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
#include "link/SerialBitRate.h"
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
  EXPECT_EQ(ui.Texts("abortretry"), std::vector<std::string>{"Error opening COM2: " + dir.Path() +
                                                             "no-such-tty: No such file or directory"});
  EXPECT_FALSE(dir.Exists("no-such-tty")) << "opening never creates the device";
}

TEST(TermiosSerialDevice, ARegularFileIsNoPortAndStaysUntouched) {
  TTempFolder dir;
  const std::string bytes = std::string("precious data\0\r\n", 17) + std::string(64, 'x');
  dir.Write("data.bin", bytes);
  dir.Write("PORTS.CFG", "[Ports]\nCOM4=" + dir.Path() + "data.bin\n");
  TRealClock clock;
  TRecordingUi ui;
  T_QCCom32 com{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
  com.SetPort(4);
  EXPECT_FALSE(com.Open());
  EXPECT_FALSE(com.Write(":00f01 GETVER5e"));
  EXPECT_EQ(ui.Texts("abortretry"), std::vector<std::string>{"Error opening COM4: " + dir.Path() +
                                                             "data.bin: Not a character device"});
  EXPECT_EQ(dir.Read("data.bin"), bytes);
}

// The slave end put in the cooked mode a login shell leaves behind.
void MakeCooked(int fd) {
  termios t{};
  ASSERT_EQ(::tcgetattr(fd, &t), 0);
  t.c_lflag |= ICANON | ECHO | ISIG;
  t.c_iflag |= ICRNL;
  t.c_oflag |= OPOST | ONLCR;
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
}

TEST(TermiosSerialDevice, ACookedPortComesOutRawAtEveryBitRate) {
  for (int baud : {115200, 9600, 14400, 28800, 56000}) {
    TPty pty;
    ASSERT_FALSE(pty.slave.empty());
    // Held open so the cooked settings stay with the pseudo-terminal until the port opens.
    int cooked = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(cooked, 0);
    MakeCooked(cooked);
    TTempFolder dir;
    dir.Write("PORTS.CFG", "[Ports]\nCOM5=" + pty.slave + "\n");
    TRealClock clock;
    TRecordingUi ui;
    T_QCCom32 com{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
    com.SetPort(5);
    com.SetBaud(baud);
    ASSERT_TRUE(com.Open()) << baud;
    EXPECT_TRUE(ui.calls.empty()) << baud;
    termios t{};
    ASSERT_EQ(::tcgetattr(com.Handle(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u) << baud;
    EXPECT_EQ(t.c_iflag & ICRNL, 0u) << baud;
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << baud;
    EXPECT_EQ(BitRateOf(com.Handle()), baud);

    // On the wire: CR stays CR both ways, LF gets no CR, nothing is echoed.
    ASSERT_EQ(::write(pty.master, "AB\r", 3), 3);
    EXPECT_EQ(WaitForBytes(com, 3), 3) << baud;
    EXPECT_EQ(com.Read(), "AB\r") << baud;
    // A byte after the LF ends the read at once; a cooked line would have sent "X\r\n" first.
    ASSERT_TRUE(com.Write("X\nY"));
    EXPECT_EQ(pty.ReadMaster(3), "X\nY") << baud;
    ::close(cooked);
  }
}

TEST(TermiosSerialDevice, ARefusedBitRateLeavesTheDeviceRawAndOpen) {
  for (int baud : {0, -9600}) {
    TPty pty;
    ASSERT_FALSE(pty.slave.empty());
    int cooked = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(cooked, 0);
    MakeCooked(cooked);
    std::string reason;
    auto device = TTermiosSerialDevice::OpenPath(pty.slave, reason);
    ASSERT_TRUE(device) << reason;
    TLineSettings settings;
    settings.baud = baud;
    EXPECT_FALSE(device->ApplyLineSettings(settings)) << baud;
    termios t{};
    ASSERT_EQ(::tcgetattr(device->NativeHandle(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u) << "raw before the rate was tried";
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    device.reset();

    // The port object keeps such a port open with the driver's rate.
    TTempFolder dir;
    dir.Write("PORTS.CFG", "[Ports]\nCOM6=" + pty.slave + "\n");
    TRealClock clock;
    TRecordingUi ui;
    T_QCCom32 com{clock, ui, std::make_unique<TTermiosSerialFactory>(dir.Path())};
    com.SetPort(6);
    com.SetBaud(baud);
    EXPECT_TRUE(com.Open());
    EXPECT_TRUE(ui.calls.empty());
    ::close(cooked);
  }
}

}  // namespace
}  // namespace korvo
