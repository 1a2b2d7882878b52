#include <gtest/gtest.h>

#include "support/LoopbackServer.h"
#include "support/NetTestSupport.h"
#include "link/TcpClient.h"

namespace korvo {
namespace {

using test::ClosedLoopbackPort;
using test::TLoopbackServer;
using test::TNetFixture;
using test::TPeer;

class SendNetCommand : public TNetFixture {};

// 384 bytes with every byte value, NUL, CR and LF included.
std::string BinaryTemplate() {
  std::string t;
  for (int i = 0; i < 384; ++i) t += static_cast<char>((i * 11) % 256);
  t[10] = '\0';
  t[11] = '\r';
  t[12] = '\n';
  t[200] = '\r';
  t[201] = '\n';
  return t;
}

TEST_F(SendNetCommand, ATemplateWithNulCrAndLfSurvivesTheRoundTripUnchanged) {
  const std::string tmpl = BinaryTemplate();
  std::string stored;
  TLoopbackServer server([&](TPeer& peer) {
    auto command = peer.ReadUntil("\r");
    if (!command) return;
    if (*command == "TMPSAVE 1234\r") {
      peer.Send("OK\r\n");
    } else if (*command == "TMPDATA 1234 0\r") {
      peer.Send(stored);
    } else {  // the raw template bytes: the first of them ended the read at the first CR
      auto rest = peer.ReadCount(384 - command->size());
      if (!rest) return;
      stored = *command + *rest;
      peer.Send("OK\r\n");
    }
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());

  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TMPSAVE 1234"), "OK\r");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", tmpl), "OK\r");
  ASSERT_TRUE(server.WaitForFinished(2));
  EXPECT_EQ(server.Received(0), "TMPSAVE 1234\r") << "pieces end in CR only";
  EXPECT_EQ(server.Received(1), tmpl) << "raw, with nothing added";
  ASSERT_EQ(stored, tmpl);
  EXPECT_EQ(clock.ElapsedMs(), 5 + 1300 + 10);

  std::string back = dm.SendNetCommand("127.0.0.1", "TMPDATA 1234 0\r");
  EXPECT_EQ(back.size(), 384u);
  EXPECT_EQ(back, tmpl);
  EXPECT_GE(ui.processed, 384) << "window messages before every byte";
}

TEST_F(SendNetCommand, TheTemplateTableReadsFingerCountLines) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r")) return;
    peer.Send("OK\r\n");
    if (!peer.ReadUntil("\r")) return;
    peer.Send("00001234:0\r\n00001234:1\r\n00005678:0\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "LOCKSYS\rTYPE TMPTABLE\r", 3),
            "OK\r00001234:0 00001234:1 00005678:0 \r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), "LOCKSYS\rTYPE TMPTABLE\r");
  EXPECT_EQ(clock.ElapsedMs(), 5 + 5);
}

TEST_F(SendNetCommand, NoFingerCountReadsNothingAndOtherListingsAreNotRead) {
  TLoopbackServer server([](TPeer& peer) {
    while (peer.ReadUntil("\r")) peer.Send("SHOULD NOT BE READ\r\n");
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TYPE TMPTABLE\rDIR TRANS", 0), "-- \r-- \r");
  EXPECT_EQ(clock.ElapsedMs(), 10);
}

TEST_F(SendNetCommand, MessageTableRecordsWaitFiftyMillisecondsAndEveryPieceFive) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r") || !peer.ReadUntil("\r")) return;
    peer.Send("OK\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1@99", server.Port());
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1@99", "ADDREC MSGTABLE 01|HELLO"), "OK\r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), "ADDREC MSGTABLE 01\rHELLO\r") << "no logon through this service";
  EXPECT_EQ(clock.ElapsedMs(), 50 + 5 + 5);
}

TEST_F(SendNetCommand, ASilentTerminalGivesDashesAfterTheReadLimit) {
  TLoopbackServer server([](TPeer& peer) { peer.IdleUntilClosed(); });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "GETVER"), "-- \r");
  EXPECT_EQ(clock.ElapsedMs(), 5 + 10000);
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TMPDATA 1 0\r"), "--\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 2 * (5 + 10000));
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TYPE TMPTABLE", 5), "-- \r");
  EXPECT_EQ(clock.ElapsedMs(), 3 * (5 + 10000)) << "the first line that runs out ends the table";
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", std::string(300, 'z')), "-- \r");
}

TEST_F(SendNetCommand, ARefusedConnectionIsRaisedToTheCaller) {
  AddTerminal("127.0.0.1", ClosedLoopbackPort());
  EXPECT_THROW(dm.SendNetCommand("127.0.0.1", "FINGERS\r"), TTcpClientError);
}

TEST_F(SendNetCommand, TextsTravelAsWindows1252ButTemplateBytesPassUnchanged) {
  TLoopbackServer server([](TPeer& peer) {
    auto command = peer.ReadUntil("\r");
    if (!command) return;
    if (*command == "MSG caf\xE9\r")
      peer.Send("OK \xE9t\xE9\r\n");
    else if (*command == "TMPSAVE 1234\r" || *command ==
                                                 "AB\xC3\xA9"
                                                 "CD\r")
      peer.Send("OK\r\n");
    else
      peer.Send("FAIL " + *command + "\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "MSG café\r"), "OK été\r");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "TMPSAVE 1234"), "OK\r");
  // The template's bytes follow the accepted TMPSAVE; that they happen to read as UTF-8 changes nothing.
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1",
                              "AB\xC3\xA9"
                              "CD"),
            "OK\r");
  // Only the one text right after it is bytes.
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1",
                              "AB\xC3\xA9"
                              "CD"),
            "FAIL AB\xC3\xA9"
            "CD\r");
  ASSERT_TRUE(server.WaitForFinished(4));
  EXPECT_EQ(server.Received(0), "MSG caf\xE9\r");
  EXPECT_EQ(server.Received(2),
            "AB\xC3\xA9"
            "CD\r");
  EXPECT_EQ(server.Received(3),
            "AB\xE9"
            "CD\r");
}

TEST_F(SendNetCommand, UnknownOrNonNetworkAddressesSendNothing) {
  TLoopbackServer server([](TPeer& peer) { peer.WaitForClose(); });
  AddTerminal("127.0.0.1", server.Port());
  AddTerminal("5", server.Port());
  EXPECT_EQ(dm.SendNetCommand("5", "FINGERS\r"), "");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1' OR '1'='1", "FINGERS\r"), "") << "the address is a value, not SQL";
  EXPECT_EQ(dm.SendNetCommand("127.0.0.2", "FINGERS\r"), "");
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_TRUE(pinger->hosts.empty());
}

TEST_F(SendNetCommand, AHostThatDoesNotAnswerTheEchoGetsDashesForEveryLine) {
  AddTerminal("127.0.0.1", ClosedLoopbackPort());
  pinger->fallback = {true, 0};
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "LOCKSYS\rTMPDATA 1 0\r"), "--\r\n--\r\n");
  EXPECT_EQ(dm.SendNetCommand("127.0.0.1", "LOCKSYS\rUNLOCKSYS\r"), "-- \r-- \r");
}

}  // namespace
}  // namespace korvo
