#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>

#include "support/LoopbackServer.h"
#include "support/NetTestSupport.h"
#include "cli/CliCommands.h"
#include "link/PingHost.h"

namespace korvo {
namespace {

using test::ClosedLoopbackPort;
using test::TLoopbackServer;
using test::TNetFixture;
using test::TPeer;

class PingHostAttempts : public TNetFixture {};

TEST_F(PingHostAttempts, AHostThatNeverAnswersGetsFiveAttemptsInSevenAndAHalfSeconds) {
  pinger->fallback = {true, 0};
  EXPECT_FALSE(dm.PingHost("127.0.0.9"));
  EXPECT_EQ(pinger->limits, (std::vector<int>{500, 1000, 1500, 2000, 2500}));
  EXPECT_EQ(clock.ElapsedMs(), 7500);
}

TEST_F(PingHostAttempts, AnAnswerEndsTheAttempts) {
  pinger->script = {{true, 0}, {true, 0}, {false, 1}};
  EXPECT_TRUE(dm.PingHost("127.0.0.1", 5001));
  EXPECT_EQ(pinger->limits, (std::vector<int>{500, 1000, 1500}));
  EXPECT_EQ(pinger->ports, (std::vector<int>{5001, 5001, 5001}));
  EXPECT_EQ(clock.ElapsedMs(), 500 + 1000);
}

TEST_F(PingHostAttempts, OnlyExactlyOneReplyOfTheLastAttemptCounts) {
  pinger->script = {{false, 0}};
  EXPECT_FALSE(dm.PingHost("127.0.0.1")) << "no error and no reply: no further attempt, and no answer";
  EXPECT_EQ(pinger->limits.size(), 1u);
  pinger->script = {{false, 2}};
  EXPECT_FALSE(dm.PingHost("127.0.0.1"));
}

bool IcmpSocketAllowed(int type) {
  int fd = ::socket(AF_INET, type, IPPROTO_ICMP);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

TEST(SocketPinger, EchoPacketCarries56BlankPaddedDataBytesAndAValidChecksum) {
  std::string payload = EchoPayload();
  ASSERT_EQ(payload.size(), 56u);
  auto text = payload.find_last_not_of(' ');
  ASSERT_NE(text, std::string::npos);
  for (std::size_t i = 0; i <= text; ++i) EXPECT_TRUE(payload[i] >= 0x20 && payload[i] < 0x7f);
  std::string packet = EchoRequest(0x1234, 7);
  ASSERT_EQ(packet.size(), 64u);
  EXPECT_EQ(packet.substr(0, 2), std::string("\x08\x00", 2));
  EXPECT_EQ(packet.substr(4, 4), std::string("\x12\x34\x00\x07", 4));
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < packet.size(); i += 2)
    sum += (static_cast<std::uint8_t>(packet[i]) << 8) | static_cast<std::uint8_t>(packet[i + 1]);
  while (sum >> 16) sum = (sum & 0xffff) + (sum >> 16);
  EXPECT_EQ(sum, 0xffffu);
}

TEST(SocketPinger, LoopbackAnswersTheEchoOfWhateverSocketIsAllowed) {
  TRealClock clock;
  TSocketPinger pinger(clock);
  TEchoResult r = pinger.Echo("127.0.0.1", 0, 1000);
  if (!IcmpSocketAllowed(SOCK_DGRAM) && !IcmpSocketAllowed(SOCK_RAW)) GTEST_SKIP() << "no ICMP socket here";
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.replies, 1);
  EXPECT_NE(pinger.Kind(), TEchoKind::TcpConnect);
}

TEST(SocketPinger, RawAndDatagramSocketsEachGetTheirReply) {
  TRealClock clock;
  for (auto [kind, type] :
       {std::pair{TEchoKind::IcmpDatagram, SOCK_DGRAM}, std::pair{TEchoKind::IcmpRaw, SOCK_RAW}}) {
    if (!IcmpSocketAllowed(type)) continue;
    TSocketPinger pinger(clock, kind);
    for (int i = 0; i < 3; ++i) {
      TEchoResult r = pinger.Echo("127.0.0.1", 0, 1000);
      EXPECT_FALSE(r.error) << static_cast<int>(kind);
      EXPECT_EQ(r.replies, 1);
    }
    EXPECT_EQ(pinger.Kind(), kind);
  }
}

TEST(SocketPinger, WithoutIcmpATcpConnectionToTheTerminalPortStandsIn) {
  TRealClock clock;
  TLoopbackServer server([](TPeer& peer) { peer.IdleUntilClosed(5000); });
  TSocketPinger pinger(clock, TEchoKind::TcpConnect);
  TEchoResult r = pinger.Echo("127.0.0.1", server.Port(), 500);
  EXPECT_FALSE(r.error);
  EXPECT_EQ(r.replies, 1);
  EXPECT_EQ(pinger.Kind(), TEchoKind::TcpConnect);
  EXPECT_TRUE(server.WaitForFinished(1));

  TEchoResult refused = pinger.Echo("127.0.0.1", ClosedLoopbackPort(), 500);
  EXPECT_TRUE(refused.error);
  EXPECT_EQ(refused.replies, 0);
}

TEST(SocketPinger, NoProbeAtAllIsAnError) {
  TRealClock clock;
  TSocketPinger pinger(clock, TEchoKind::TcpConnect);
  try {
    pinger.Echo("127.0.0.1", 0, 500);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Unable to get ping handle");
  }
}

class PingHostOnSockets : public TNetFixture {};

TEST_F(PingHostOnSockets, TheDataModuleUsesRealSocketsWhenNoPingerIsGiven) {
  dm.Link.Pinger.reset();
  TLoopbackServer server([](TPeer& peer) { peer.IdleUntilClosed(5000); });
  if (!IcmpSocketAllowed(SOCK_DGRAM) && !IcmpSocketAllowed(SOCK_RAW)) {
    EXPECT_TRUE(dm.PingHost("127.0.0.1", server.Port()));
    EXPECT_FALSE(dm.PingHost("127.0.0.1", ClosedLoopbackPort()));
  } else {
    EXPECT_TRUE(dm.PingHost("127.0.0.1"));
  }
}

TEST(PingCommand, TellsWhetherTheHostAnswers) {
  test::TTempFolder dir;
  bool icmp = IcmpSocketAllowed(SOCK_DGRAM) || IcmpSocketAllowed(SOCK_RAW);
  TLoopbackServer server([](TPeer& peer) { peer.IdleUntilClosed(5000); });
  std::vector<std::string> args{"--folder", dir.Path(), "ping", "127.0.0.1"};
  if (!icmp) args.push_back(std::to_string(server.Port()));
  std::ostringstream out, err;
  EXPECT_EQ(RunCli(args, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "127.0.0.1 answers the echo.\n");

  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "ping", "999.1.1.1", "7"}, out2, err2), 1);
  EXPECT_EQ(out2.str(), "999.1.1.1 does not answer the echo.\n") << "not an address: every attempt fails";

  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "ping"}, out3, err3), 2);
  EXPECT_NE(err3.str().find("usage: ping HOST [PORT]\n"), std::string::npos) << err3.str();
}

}  // namespace
}  // namespace korvo
