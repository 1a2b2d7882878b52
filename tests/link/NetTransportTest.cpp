#include <gtest/gtest.h>

#include <thread>

#include "support/LoopbackServer.h"
#include "support/NetTestSupport.h"
#include "link/TcpClient.h"

namespace korvo {
namespace {

using test::ClosedLoopbackPort;
using test::TLoopbackServer;
using test::TNetFixture;
using test::TPeer;

// Answers every CR LF line with `reply` + CR LF until the client goes away.
TLoopbackServer::TScript Answering(std::string reply) {
  return [reply](TPeer& peer) {
    while (peer.ReadUntil("\r\n")) peer.Send(reply + "\r\n");
  };
}

class NetTransport : public TNetFixture {};

TEST_F(NetTransport, ATextOf299CharactersGoesLineByLineEachWithCrLf) {
  TLoopbackServer server(Answering("OK"));
  AddTerminal("127.0.0.1", server.Port());
  std::vector<std::string> lines;
  std::string text;
  for (int i = 0; i < 4; ++i) {
    lines.push_back("ADDREC HOLITBL 0" + std::to_string(i) + std::string(i < 3 ? 57 : 56, 'X'));
    text += lines.back() + "\r";
  }
  ASSERT_EQ(text.size(), 299u);
  EXPECT_EQ(dm.SendCommand("127.0.0.1", text), "OK\rOK\rOK\rOK\r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0),
            lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n" + lines[3] + "\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 0) << "no pause on the line-by-line path without LOAD, PAR or a logon";
}

TEST_F(NetTransport, ALongTextIsSentUnchangedAfterASecondAndItsReplyLineIsSplit) {
  std::string text(300, 'A');
  text[100] = '\r';
  text[200] = '\n';
  TLoopbackServer server([&](TPeer& peer) {
    if (peer.ReadCount(300)) peer.Send("OK\rDONE\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  std::string reply = dm.SendCommand("127.0.0.1", text);
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), text) << "no line end added, line breaks kept";
  EXPECT_EQ(reply, "OK\rDONE\r");
  EXPECT_EQ(clock.ElapsedMs(), 1000 + 5);
}

TEST_F(NetTransport, ALongTextWithoutReplyGivesAnEmptyReplyAfterTenSeconds) {
  TLoopbackServer server([](TPeer& peer) { peer.WaitForClose(); });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", std::string(400, 'x')), "");
  EXPECT_EQ(clock.ElapsedMs(), 1000 + 5 + 10000);
}

TEST_F(NetTransport, DirTransCollectsPacketsUntilTheStarAndTheCrLfBecomeBlanks) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send("010124.DAT 1200\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    peer.Send("020124.DAT 800\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    peer.Send("*\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "DIR TRANS"), "010124.DAT 1200 020124.DAT 800 * \r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), "DIR TRANS\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 0);
}

TEST_F(NetTransport, AListingWithoutStarEndsTwoSecondsAfterTheLastData) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send("LINE 1\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "TYPE TRANS\\010124.DAT"), "LINE 1 \r");
  EXPECT_EQ(clock.ElapsedMs(), 2000);
}

TEST_F(NetTransport, TemplateDataStopAtExactly384CharactersAndAreJoinedWithoutSeparators) {
  std::string block1, block2;
  for (int i = 0; i < 384; ++i) {
    block1 += static_cast<char>(i % 256);
    block2 += static_cast<char>((i * 7 + 3) % 256);
  }
  TLoopbackServer server([&](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    // The first block arrives in two packets; the bytes after it are not part of it.
    peer.Send(block1.substr(0, 100));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    peer.Send(block1.substr(100));
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send(block2);
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  std::string reply = dm.SendCommand("127.0.0.1", "TMPDATA 1234 0\rTMPDATA 1234 1\r");
  ASSERT_EQ(reply.size(), 768u);
  EXPECT_EQ(reply, block1 + block2) << "CR LF kept, no CR between the entries";
  EXPECT_EQ(clock.ElapsedMs(), 0);
}

TEST_F(NetTransport, TemplateDataThatStopShortWaitTenSecondsAndKeepWhatCame) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send(std::string(100, 'T'));
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "TMPDATA 9 0"), std::string(100, 'T'));
  EXPECT_EQ(clock.ElapsedMs(), 10000);
}

TEST_F(NetTransport, ALogonCodeIsSentFirstWithCrLfAndNoSetLogonZeroFollows) {
  TLoopbackServer server([](TPeer& peer) {
    // The logon gets no answer: its 500 ms read runs out and the commands go on.
    if (!peer.ReadUntil("\r\n")) return;
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send("KORVO2K V3.1\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1@4321", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1@4321", "GETVER"), "KORVO2K V3.1\r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), "SETLOGON 4321\r\nGETVER\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 500 + 10) << "logon read limit, then 10 ms after the piece";
}

TEST_F(NetTransport, LoadAndParLinesPauseBeforeSendingAndLoadWaitsOneSecond) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;  // LOAD ...: no answer
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send("PAR 30 = 5\r\n");
    if (!peer.ReadUntil("\r\n")) return;
    peer.Send("OK\r\n");
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "LOAD SYSTEM\\HOLITBL.DAT\rPAR 30\rLOAD PARAM|7"),
            "-- \rPAR 30 = 5\rOK\r");
  ASSERT_TRUE(server.WaitForFinished(1));
  EXPECT_EQ(server.Received(0), "LOAD SYSTEM\\HOLITBL.DAT\r\nPAR 30\r\nLOAD PARAM\r\n7\r\n");
  // 10 + 1000 (LOAD, no answer), 10 (PAR), 10 + 10 (LOAD and PAR in "LOAD PARAM").
  EXPECT_EQ(clock.ElapsedMs(), 10 + 1000 + 10 + 20);
}

TEST_F(NetTransport, ARefusedConnectionAnswersWithTheAddressParts) {
  int port = ClosedLoopbackPort();
  AddTerminal("127.0.0.1", port);
  AddTerminal("127.0.0.2@77", port);
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "GETVER\rPAR 1"), "127.0.0.1\r");
  EXPECT_EQ(dm.SendCommand("127.0.0.2@77", "GETVER"), "127.0.0.2\r77\r");
  EXPECT_EQ(dm.SendCommand("127.0.0.2@77", "TMPDATA 1 0"), "127.0.0.277");
  EXPECT_EQ(pinger->hosts, (std::vector<std::string>{"127.0.0.1", "127.0.0.2", "127.0.0.2"}));
  EXPECT_EQ(pinger->ports, (std::vector<int>{port, port, port}));
}

TEST_F(NetTransport, AHostThatDoesNotAnswerTheEchoGetsNoConnectionAndEveryLineFails) {
  TLoopbackServer server(Answering("OK"));
  AddTerminal("127.0.0.1", server.Port());
  pinger->fallback = {true, 0};
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "LOCKSYS\rGETVER\rUNLOCKSYS"), "-- \r-- \r-- \r");
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "TMPDATA 1 0"), "--\r\n");
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_EQ(clock.ElapsedMs(), 2 * 7500);
}

TEST_F(NetTransport, APeerThatStreamsWithoutEndIsCutOffAtTheReplyCap) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    std::string chunk(64 * 1024, 'x');
    for (int sent = 0; sent < 10 * 1024 * 1024; sent += static_cast<int>(chunk.size()))
      if (!peer.Send(chunk)) return;  // the client hung up
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  std::string reply = dm.SendCommand("127.0.0.1", "DIR TRANS");
  EXPECT_EQ(reply.size(), kMaxReplyBytes + 1);
  EXPECT_EQ(reply.find_first_not_of('x'), kMaxReplyBytes);
  EXPECT_EQ(clock.ElapsedMs(), 0) << "the cap ends the read, not the idle limit";
}

TEST_F(NetTransport, AnEndlessReplyLineIsDroppedAtTheCap) {
  TLoopbackServer server([](TPeer& peer) {
    if (!peer.ReadUntil("\r\n")) return;
    std::string chunk(64 * 1024, 'y');
    for (int sent = 0; sent < 10 * 1024 * 1024; sent += static_cast<int>(chunk.size()))
      if (!peer.Send(chunk)) return;
    peer.WaitForClose();
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "GETVER"), "-- \r");
}

TEST_F(NetTransport, APeerThatClosesMidLineEndsTheTextAtOnce) {
  TLoopbackServer server([](TPeer& peer) {
    if (peer.ReadUntil("\r\n")) peer.Send("KORVO2K V");  // and gone
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "GETVER\rPAR 30\rGETVER"), "-- \r-- \r-- \r");
  EXPECT_EQ(clock.ElapsedMs(), 10) << "only the PAR pause: no limit is waited for once the peer has closed";
}

TEST_F(NetTransport, APeerThatClosesMidListingEndsTheListingAtOnce) {
  TLoopbackServer server([](TPeer& peer) {
    if (peer.ReadUntil("\r\n")) peer.Send("010124.DAT 1200\r\n0201");
  });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "DIR TRANS"), "010124.DAT 1200 0201\r");
  EXPECT_EQ(clock.ElapsedMs(), 0);
}

TEST_F(NetTransport, APeerThatNeverReadsNorAnswersCostsEachLineItsLimit) {
  TLoopbackServer server([](TPeer& peer) { peer.IdleUntilClosed(); });
  AddTerminal("127.0.0.1", server.Port());
  EXPECT_EQ(dm.SendCommand("127.0.0.1", "GETVER\rDIR TRANS\rLOAD X\rTMPDATA 1 0"),
            "--\r\n--\r\n--\r\n--\r\n");
  EXPECT_EQ(clock.ElapsedMs(), 10000 + 2000 + (10 + 1000) + 10000);
}

}  // namespace
}  // namespace korvo
