// The network link end to end against the terminal simulator's TCP front end on loopback.
#include <gtest/gtest.h>

#include <memory>

#include "Faults.h"
#include "support/NetTestSupport.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "link/CommandText.h"
#include "link/SocketStream.h"
#include "link/TcpClient.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

// 384 template bytes with NUL, CR and LF among them.
std::string Template() {
  std::string t;
  for (int i = 0; i < 384; ++i) t += static_cast<char>((i * 37 + 5) % 256);
  t[0] = '\0';
  t[1] = '\r';
  t[2] = '\n';
  t[383] = '\r';
  return t;
}

// Real time and real echo: what a user's program does.
class NetSim : public ::testing::Test {
 protected:
  NetSim() : dm(test::StartProgram(program)) {}
  ~NetSim() override { program.ShutDown(); }
  int AddTerminal(const std::string& fsAddr, std::shared_ptr<korvosim::Terminal> terminal) {
    int port = tcp.add(std::move(terminal));
    dm.ADOC.Execute(
        "INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, '001', 'Hall', ?)",
        {TextValue(fsAddr), IntValue(port)});
    return port;
  }

  korvosim::TcpFront tcp;
  test::TTempFolder dir;
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program{dir.Path(), clock, ui};
  TDM& dm;
};

TEST_F(NetSim, TheLogonGoesFirstAndTheCommandsAreAnswered) {
  auto terminal = std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = "4711"});
  AddTerminal("127.0.0.1@4711", terminal);
  EXPECT_EQ(dm.SendCommand("127.0.0.1@4711", "GETVER\rPAR 7"), "KORVO2K/Bio Ver 2.00 OK\rPAR 7 = 6\r");
  EXPECT_EQ(tcp.transcript().commands(), (Strings{"SETLOGON 4711", "GETVER", "PAR 7"}));
  EXPECT_EQ(dm.ReadParameters("127.0.0.1@4711", "7\r\n309"), "6\r\nOpen the Door!\r\n");
}

TEST_F(NetSim, TheTransactionDirectoryIsReadToItsStar) {
  auto terminal = std::make_shared<korvosim::Terminal>();
  korvosim::TransactionPlan plan;
  plan.records = 40;
  plan.days = 3;
  korvosim::generateTransactions(*terminal, plan);
  AddTerminal("127.0.0.1", terminal);
  std::string reply = dm.SendCommand("127.0.0.1", "DIR TRANS");
  EXPECT_EQ(reply.rfind("TRANS ", 0), 0u) << reply;
  EXPECT_EQ(reply.substr(reply.size() - 4), " * \r") << "CR LF became blanks; the star line ended the read";
  EXPECT_EQ(CountChar(reply, '\r'), 1);
  EXPECT_EQ(std::count(reply.begin(), reply.end(), '.'), 3) << "one DDMMYY.DAT per day";
}

TEST_F(NetSim, ALongTextGoesRawAndItsOneReplyLineComesBack) {
  AddTerminal("127.0.0.1", std::make_shared<korvosim::Terminal>());
  const std::string text = "PAR 309 " + std::string(320, 'M');
  EXPECT_EQ(dm.SendCommand("127.0.0.1", text), "OK\r");
  EXPECT_EQ(tcp.transcript().entries().back().channel, korvosim::Channel::Raw);
  EXPECT_EQ(dm.ReadParameters("127.0.0.1", "309"), std::string(320, 'M') + "\r\n");
}

TEST_F(NetSim, ATemplateWithNulCrAndLfMakesTheRoundTripUnchanged) {
  auto terminal = std::make_shared<korvosim::Terminal>();
  AddTerminal("127.0.0.1", terminal);
  const std::string tmpl = Template();
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TMPSAVE 00001234"), "OK\r");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", tmpl), "OK\r");
  ASSERT_TRUE(terminal->templateBytes("00001234", 0).has_value());
  EXPECT_EQ(*terminal->templateBytes("00001234", 0), tmpl);

  EXPECT_EQ(TrimControl(dm.SendNetCommand("127.0.0.1", "FINGERS\r")), "1");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "LOCKSYS\rTYPE TMPTABLE\r", 1), "OK\r00001234:0 \r");
  std::string back = dm.SendNetCommand("127.0.0.1", "TMPDATA 00001234 0\r");
  EXPECT_EQ(back, tmpl);
  EXPECT_EQ(HexEncode(back), HexEncode(tmpl));
}

// Faults of the far end on virtual time: the limits pass at once while the bytes are real.
class NetSimFaults : public test::TNetFixture {
 protected:
  NetSimFaults() {
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 1000));
    };
    port = tcp.add(terminal);
    AddTerminal("127.0.0.1@5", port);
    terminal->setLogonCode("5");
  }
  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
  int port = 0;
};

TEST_F(NetSimFaults, ARefusingTerminalGivesTheAddressParts) {
  tcp.setFaults(port, korvosim::Faults{.refuse = true});
  EXPECT_EQ(dm.SendCommand("127.0.0.1@5", "GETVER"), "127.0.0.1\r5\r");
  EXPECT_THROW(dm.SendNetCommand("127.0.0.1@5", "FINGERS\r"), TTcpClientError);
  tcp.setFaults(port, korvosim::Faults{});
  EXPECT_EQ(dm.SendCommand("127.0.0.1@5", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
}

TEST_F(NetSimFaults, ASilentTerminalCostsEachLineItsLimit) {
  tcp.setFaults(port, korvosim::Faults{.silent = true});
  EXPECT_EQ(dm.SendCommand("127.0.0.1@5", "GETVER\rLOAD SYSTEM\\HOLITBL.DAT\rDIR"), "-- \r-- \r-- \r");
  EXPECT_EQ(clock.ElapsedMs(), 500 + 10 + 10000 + (10 + 10 + 1000) + (10 + 2000));
}

TEST_F(NetSimFaults, AListingCutHalfWayEndsWhenTheConnectionCloses) {
  korvosim::TransactionPlan plan;
  plan.records = 200;
  plan.days = 2;
  korvosim::generateTransactions(*terminal, plan);
  tcp.setFaults(port, korvosim::Faults{.dropMidListing = true});
  std::string reply = dm.SendCommand("127.0.0.1@5", "TYPE TRANS\\");
  EXPECT_FALSE(Contains(reply, "*"));
  EXPECT_GT(reply.size(), 100u);
  EXPECT_LT(clock.ElapsedMs(), 500 + 10 + 2000) << "the close ends the read, not the idle limit";
}

TEST_F(NetSimFaults, AHugeReplyIsCutAtTheCap) {
  tcp.setFaults(port, korvosim::Faults{.hugeReplyBytes = 10u << 20});
  // A message table keeps its CR LF, so the reply is the capped entry and its CR.
  std::string reply = dm.SendCommand("127.0.0.1@5", "TYPE MSGTABLE");
  EXPECT_EQ(reply.size(), kMaxReplyBytes + 1);
  EXPECT_LT(clock.ElapsedMs(), 500 + 10 + 2000) << "the cap ends the read";
}

TEST_F(NetSimFaults, ATerminalThatNeverReadsStillEndsWithinItsLimits) {
  tcp.setFaults(port, korvosim::Faults{.neverRead = true});
  EXPECT_EQ(dm.SendCommand("127.0.0.1@5", std::string(5000, 'Q')), "");
  EXPECT_EQ(clock.ElapsedMs(), 500 + 1000 + 5 + 10000);
}

}  // namespace
}  // namespace korvo
