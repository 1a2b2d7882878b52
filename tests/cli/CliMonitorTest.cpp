// korvo2k-cli monitor: lines from the simulator's pusher stored and printed, and a stop by SIGTERM
// that stores what has arrived.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "OnlinePusher.h"
#include "cli/CliCommands.h"
#include "store/Database.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using namespace std::chrono_literals;

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(fd);
  return ntohs(a.sin_port);
}

TEST(CliMonitor, LinesAreStoredAndPrintedUntilSigtermAndWhatArrivedBeforeItIsStored) {
  struct TCase {
    int holdMs;    // the terminal keeps its connection open
    int settleMs;  // from the last line sent to SIGTERM
    int printed;   // lines processed while running are printed; at the stop they are only stored
  };
  for (const TCase c : {TCase{0, 1200, 3}, TCase{5000, 100, 0}}) {
    test::TTempFolder dir;
    const int port = FreePort();
    std::ostringstream out, err;
    int rc = -1;
    std::thread cli([&] {
      rc = RunCli({"--folder", dir.Path(), "monitor", "--port", std::to_string(port), "--bind", "127.0.0.1"},
                  out, err);
    });
    korvosim::OnlinePusherOptions o;
    o.port = port;
    o.linesPerSecond = 0;
    o.retryMs = 20;
    // No terminal is selected: one card digit.
    o.lines = {"00142026120810203010500", "00152026120810203110500", "00162026120810203210500"};
    o.count = 3;
    o.holdOpenMs = c.holdMs;
    korvosim::OnlinePusher pusher(o);
    for (int i = 0; i < 300 && pusher.sent() < 3; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(pusher.sent(), 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(c.settleMs));
    ::kill(::getpid(), SIGTERM);
    cli.join();
    EXPECT_EQ(rc, 0) << err.str();
    EXPECT_NE(err.str().find("3 line(s) stored."), std::string::npos) << err.str();
    const std::string printed = out.str();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), c.printed) << printed;
    if (c.printed > 0) {
      EXPECT_EQ(printed.substr(0, printed.find('\n')), "2026/12/08 10:20:30\t4\t\t\tOut\tDoor Open\t\t00");
    }
    pusher.stop();
    TDatabase db;
    db.Open(dir.File("Korvoweb.mdb"));
    TQuery q(db);
    q.SetSQL("SELECT group_concat(fsCardNo || ftTime, ',') FROM tActivities");
    q.Open();
    EXPECT_EQ(q.Field(0).AsString(), "42026-12-08 10:20:30,52026-12-08 10:20:31,62026-12-08 10:20:32");
  }
}

}  // namespace
}  // namespace korvo
