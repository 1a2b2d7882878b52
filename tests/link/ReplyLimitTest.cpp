#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "link/ReplyLimit.h"
#include "link/SerialTransport.h"
#include "link/SocketStream.h"
#include "support/LoopbackServer.h"
#include "support/NetTestSupport.h"
#include "support/SerialFixture.h"

namespace korvo {
namespace {

using test::ReplyFrame;
using test::TLoopbackServer;
using test::TPeer;
using test::TScriptedTerminal;
using Strings = std::vector<std::string>;

// A peer that answers the first line with `head`, then trickles one byte after another and never
// sends the listing's end mark, until the client goes away.
TLoopbackServer::TScript Trickling(std::string head) {
  return [head](TPeer& peer) {
    if (!peer.ReadUntil("\r\n") || !peer.Send(head)) return;
    for (int i = 0; i < 20000; ++i) {
      if (!peer.Send("1")) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
}

class NetReplyLimit : public test::TNetFixture {
 protected:
  // Every wait on the socket also moves the virtual clock by `stepMs`: a trickle of real bytes then
  // spends virtual minutes in real milliseconds.
  void StepPerWait(int stepMs) {
    dm.Link.NetStreamFactory = [this, stepMs] {
      return std::make_unique<TSocketStream>([this, stepMs](pollfd* fds, nfds_t n, int ms) {
        int r = ::poll(fds, n, std::min(ms, 200));
        clock.Advance(r == 0 ? ms : std::min(ms, stepMs));
        return r;
      });
    };
  }
};

TEST_F(NetReplyLimit, ListingsAndTemplateBlocksEndAtTheOverallLimitOrAreCutWhenTheyStopShort) {
  struct TCase {
    const char* name;
    TLoopbackServer::TScript script;
    std::string command;
    std::string reply;
    bool cut;
    bool atLimit;  // ends only at the overall limit
  };
  const std::vector<TCase> cases = {
      {"trickling listing", Trickling("010124.DAT 5\r\n"), "DIR TRANS", "-- \r", true, true},
      {"trickling template block", Trickling(""), "TMPDATA 1 0", "--\r\n", true, true},
      {"dropped mid-listing",
       [](TPeer& peer) {
         if (peer.ReadUntil("\r\n")) peer.Send("010124.DAT 1200\r\n0201");
       },
       "DIR TRANS", "010124.DAT 1200 0201\r", true, false},
      {"short template block",
       [](TPeer& peer) {
         if (peer.ReadUntil("\r\n")) peer.Send(std::string(100, 't'));
         peer.WaitForClose();
       },
       "TMPDATA 1 0", std::string(100, 't'), true, false},
      {"whole listing",
       [](TPeer& peer) {
         if (peer.ReadUntil("\r\n")) peer.Send("010124.DAT 1200\r\n*\r\n");
         peer.WaitForClose();
       },
       "DIR TRANS", "010124.DAT 1200 * \r", false, false},
      {"silent terminal", [](TPeer& peer) { peer.WaitForClose(); }, "DIR TRANS", "-- \r", false, false},
  };
  StepPerWait(1500);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TLoopbackServer server(c.script);
    dm.ADOC.Execute("DELETE FROM tTerminals");
    AddTerminal("127.0.0.1", server.Port());
    dm.Link.ReplyCut = !c.cut;
    const std::int64_t start = clock.ElapsedMs();
    EXPECT_EQ(dm.SendCommand("127.0.0.1", c.command), c.reply);
    EXPECT_EQ(dm.Link.ReplyCut, c.cut);
    const std::int64_t spent = clock.ElapsedMs() - start;
    if (c.atLimit) {
      EXPECT_GE(spent, kReplyLimitMs);
    } else {
      EXPECT_LT(spent, 60000);
    }
    EXPECT_LE(spent, kReplyLimitMs + 15000) << "no reply outlasts the overall limit";
  }
}

struct SerialReplyLimit : test::SerialFixture {};

TEST_F(SerialReplyLimit, ATricklingPlainReplyEndsAsNoReplyAtTheOverallLimit) {
  AddTerminal("8", 1);
  TScriptedTerminal terminal(line, 8);
  terminal.plain = [&](const std::string& l) -> std::string {
    // One byte every 20 ms: never idle for ten polls, never a stop token, far below the size cap.
    if (l == "TYPE TRANS\\") line.SendEndless("1", 0.05, 5);
    return {};
  };
  EXPECT_EQ(dm.SendCommand("8", "TYPE TRANS\\"), "--\r");
  EXPECT_TRUE(dm.Link.ReplyCut);
  // The reply's own time: from the command to the "SETLOGON 0" after it.
  EXPECT_GE(WriteTime(1) - WriteTime(0), kReplyLimitMs);
  EXPECT_LT(WriteTime(1) - WriteTime(0), kReplyLimitMs + 5000);
  EXPECT_EQ(line.Writes().back(), "SETLOGON 0\r") << "the conversation still ends properly";
}

TEST_F(SerialReplyLimit, FramedRepliesAreCutWhenGarbledShortEndlessOrSlowAndWholeOtherwise) {
  struct TCase {
    const char* name;
    std::function<Strings(const std::string&)> framed;
    std::function<std::string()> nextBlock;
    bool cut;
  };
  const std::vector<TCase> cases = {
      {"whole",
       [](const std::string&) -> Strings {
         return {ReplyFrame(1, 'A', "data"), ReplyFrame(1, 'E', "")};
       },
       nullptr, false},
      {"garbled", [](const std::string&) -> Strings { return {"\x01\x7f#~ NOISE\r\n"}; }, nullptr, true},
      {"short first frame",
       [](const std::string&) -> Strings { return {ReplyFrame(1, 'A', "KORVO2K/Bio").substr(0, 9)}; },
       nullptr, true},
      {"no answer to a continuation",
       [](const std::string& piece) -> Strings {
         if (piece == "5A") return {};
         return {ReplyFrame(1, 'A', "first"), ReplyFrame(1, 'Z', "second")};
       },
       nullptr, true},
      {"endless blocks", [](const std::string&) -> Strings { return {ReplyFrame(1, 'A', "first")}; },
       [] { return ReplyFrame(1, 'Z', std::string(50, 'x')); }, true},
  };
  AddTerminal("1", 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TScriptedTerminal terminal(line, 1);
    terminal.framed = c.framed;
    terminal.nextBlock = c.nextBlock;
    dm.Link.ReplyCut = !c.cut;
    const std::int64_t start = clock.ElapsedMs();
    const std::string reply = dm.SendCommand("1", "TYPE TRANS\\");
    EXPECT_EQ(dm.Link.ReplyCut, c.cut);
    EXPECT_LE(clock.ElapsedMs() - start, kReplyLimitMs + 10000) << "no reply outlasts the overall limit";
    if (!c.cut) {
      EXPECT_EQ(reply, "data\r");
    }
  }
}

TEST(ReplyDeadline, RunsOnTheGivenClockAndCapsWhatIsLeft) {
  TVirtualClock clock;
  const TReplyDeadline deadline(clock, 3000);
  EXPECT_EQ(deadline.RemainingMs(2000), 2000);
  clock.Advance(2500);
  EXPECT_EQ(deadline.RemainingMs(2000), 500);
  EXPECT_FALSE(deadline.Passed());
  clock.Advance(500);
  EXPECT_TRUE(deadline.Passed());
  EXPECT_EQ(deadline.RemainingMs(2000), 0);
}

}  // namespace
}  // namespace korvo
