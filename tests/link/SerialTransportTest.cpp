#include <gtest/gtest.h>

#include "link/CommandText.h"
#include "link/ReplyLimit.h"
#include "link/SerialFrame.h"
#include "link/SerialTransport.h"
#include "support/SerialFixture.h"

namespace korvo {
namespace {

using test::ReplyFrame;
using test::TScriptedTerminal;
using test::XorChecksumHex;
using Strings = std::vector<std::string>;

struct SerialTransport : test::SerialFixture {
  // The kinds of the recorded events without the port checks, for reading the order of things.
  Strings Trace() const {
    Strings out;
    for (const auto& e : line.Events())
      if (e.kind != "waiting" && e.kind != "read")
        out.push_back(e.kind + (e.data.empty() ? "" : " " + e.data));
    return out;
  }
  int Count(const std::string& kind, const std::string& data) const {
    int n = 0;
    for (const auto& e : line.EventsOf(kind)) n += e.data == data;
    return n;
  }
};

TEST_F(SerialTransport, AFramedOnlyTerminalGetsTheFrameAfterThePlainAttemptGivesUp) {
  AddTerminal("1", 2);
  TScriptedTerminal terminal(line, 1);
  terminal.framed = [](const std::string& piece) -> Strings {
    if (piece != "GETVER") return {};
    return {ReplyFrame(1, 'A', " KORVO2K/Bio Ver 2.00 "), ReplyFrame(1, 'E', "NOT PART OF IT")};
  };
  std::string reply = dm.SendCommand("1", "GETVER");
  EXPECT_EQ(reply, "KORVO2K/Bio Ver 2.00\r");
  EXPECT_NE(UpperCase(reply).find("KORVO"), std::string::npos) << "the identity check passes";

  const std::string head = ":00f01 GETVER";
  const std::string frame = head + XorChecksumHex(head);
  ASSERT_EQ(frame.size(), 15u);
  const std::string more = ":00b01 5A" + XorChecksumHex(":00b01 5A");
  EXPECT_EQ(line.Writes(), (Strings{"GETVER\r", frame, more, "SETLOGON 0\r"}));
  EXPECT_EQ(terminal.badFrames, 0);

  // Plain: 50 ms after the piece, then 10 idle polls of 10 ms; then the frame at once.
  auto polls = PollTimesAfterWrite(0);
  ASSERT_EQ(polls.size(), 10u);
  EXPECT_EQ(polls.front() - WriteTime(0), 60);
  EXPECT_EQ(polls.back() - WriteTime(0), 150);
  EXPECT_EQ(WriteTime(1), polls.back());

  // RTS up before the frame, the echo purged 3 ms after it, RTS down after the purge.
  Strings trace = Trace();
  auto at = std::find(trace.begin(), trace.end(), "write " + frame) - trace.begin();
  ASSERT_GT(at, 0);
  EXPECT_EQ(trace[at - 1], "rts 1");
  EXPECT_EQ(trace[at + 1], "purge");
  EXPECT_EQ(trace[at + 2], "rts 0");
  EXPECT_EQ(line.EventsOf("purge").at(0).ms - WriteTime(1), 3);
  EXPECT_EQ(trace.front(), "open 2");
  EXPECT_EQ(trace.back(), "close");
  EXPECT_EQ(line.LastSettings().baud, 115200);
  EXPECT_EQ(line.Opens(), 1);
  EXPECT_TRUE(ui.Progress().empty());
  EXPECT_FALSE(dm.TermQry.Active());
}

TEST_F(SerialTransport, ContinuationBlocksAreJoinedWithABlankAndTheClosingReplyAddsNothing) {
  AddTerminal("7", 1);
  TScriptedTerminal terminal(line, 7);
  terminal.framed = [](const std::string& piece) -> Strings {
    if (piece == "TYPE TRANS\\010124.DAT")
      return {ReplyFrame(7, 'A', "000012345073001I00\r\n000012346073502I01"),
              ReplyFrame(7, 'Z', "000012347080000O00"), ReplyFrame(7, 'Z', "\r\n000012348081000O00\r\n*"),
              ReplyFrame(7, 'E', "ignored")};
    if (piece == "DIR TRANS")
      return {ReplyFrame(7, 'E', "TRANS 100 Bytes Used"), ReplyFrame(7, 'Q', "ignored")};
    return {};
  };
  EXPECT_EQ(dm.SendCommand("7", "TYPE TRANS\\010124.DAT"),
            "000012345073001I00 000012346073502I01 000012347080000O00  000012348081000O00 *\r");
  EXPECT_EQ(terminal.framePieces, (Strings{"TYPE TRANS\\010124.DAT", "5A", "5A", "5A"}));
  // The plain polls count the (no) lines received, each block the lines so far, and the end moves
  // the meter to its maximum.
  Strings expected(10, "0");
  for (auto s : {"1", "1", "3", "250"}) expected.push_back(s);
  EXPECT_EQ(ui.Progress(), expected);

  // A first reply without "Z" still asks once for a further block.
  terminal.framePieces.clear();
  ui.calls.clear();
  EXPECT_EQ(dm.SendCommand("7", "DIR TRANS"), "TRANS 100 Bytes Used\r");
  EXPECT_EQ(terminal.framePieces, (Strings{"DIR TRANS", "5A"}));
  EXPECT_EQ(ui.Progress().back(), "250");
}

TEST_F(SerialTransport, APortThatCannotBeOpenedGivesNoReplyForEveryLine) {
  AddTerminal("1", 2);
  line.alwaysFail = true;
  EXPECT_EQ(dm.SendCommand("1", "LOCKSYS\rDELFILE SYSTEM\\AXGROUP.DAT\rUNLOCKSYS"), "--\r--\r--\r");
  EXPECT_EQ(ui.Texts("abortretry"), Strings{"Error opening COM2: "});
  EXPECT_TRUE(line.Writes().empty());
  EXPECT_EQ(clock.ElapsedMs(), 0);
  EXPECT_FALSE(dm.TermQry.Active());
}

TEST_F(SerialTransport, ALogonAddressLogsOnFirstAndNeverFrames) {
  AddTerminal("3@1234", 1);
  TScriptedTerminal terminal(line, 3);
  EXPECT_EQ(dm.SendCommand("3@1234", "GETVER"), "--\r");
  EXPECT_EQ(line.Writes(), (Strings{"SETLOGON 1234\r", "GETVER\r", "SETLOGON 0\r"}));
  EXPECT_TRUE(line.EventsOf("rts").empty());
  EXPECT_TRUE(terminal.framePieces.empty());
  EXPECT_EQ(WriteTime(1) - WriteTime(0), 10 + 50 + 100) << "10 ms more per piece behind a logon code";

  terminal.plain = [](const std::string& l) -> std::string {
    if (l == "SETLOGON 1234" || l == "SETLOGON 0") return "OK\r\n";
    if (l == "GETVER") return "KORVO2K/Bio Ver 2.00 OK\r\n";
    return {};
  };
  EXPECT_EQ(dm.SendCommand("3@1234", "GETVER\rPAR 30|5"), "KORVO2K/Bio Ver 2.00 OK\r--\r");
  EXPECT_TRUE(terminal.framePieces.empty());
}

TEST_F(SerialTransport, EveryTextEndsWithSetLogonZeroAndCrLfBecomesABlankExceptForTableData) {
  AddTerminal("4", 1);
  TScriptedTerminal terminal(line, 4);
  terminal.plain = [](const std::string& l) -> std::string {
    if (l == "GETVER") return "KORVO2K\r\nVer 2.00 OK\r\n";
    if (l == "TYPE MSGTABLE") return "Hello\r\nWorld\r\n*\r\n";
    if (l == "TMPDATA 00001234 0") return "AB\r\nCD*\r\n";
    if (l == "ADDREC TIMEDMSG 0800") return "one\r\ntwo OK\r\n";
    if (l.rfind("SETLOGON", 0) == 0) return "OK\r\n";
    return {};
  };
  EXPECT_EQ(dm.SendCommand("4", "GETVER"), "KORVO2K Ver 2.00 OK\r");
  EXPECT_EQ(dm.SendCommand("4", "TYPE MSGTABLE"), "Hello\r\nWorld\r\n*\r");
  EXPECT_EQ(dm.SendCommand("4", "TMPDATA 00001234 0"), "AB\r\nCD*\r");
  EXPECT_EQ(dm.SendCommand("4", "ADDREC TIMEDMSG 0800"), "one\r\ntwo OK\r");
  EXPECT_EQ(dm.SendCommand("4", "GETVER\rGETVER"), "KORVO2K Ver 2.00 OK\rKORVO2K Ver 2.00 OK\r");

  // Every conversation: open, the lines, "SETLOGON 0", close.
  Strings lastWrites;
  std::string last;
  for (const auto& e : line.Events()) {
    if (e.kind == "write") last = e.data;
    if (e.kind == "close") lastWrites.push_back(last);
  }
  EXPECT_EQ(lastWrites, Strings(5, "SETLOGON 0\r"));
  EXPECT_EQ(Count("write", "SETLOGON 0\r"), 5);
  EXPECT_EQ(line.Opens(), 5);
  EXPECT_TRUE(terminal.framePieces.empty());
}

TEST_F(SerialTransport, PollTimingsFollowTheCommand) {
  AddTerminal("9@77", 1);
  TScriptedTerminal terminal(line, 9);  // never answers
  struct TCase {
    std::string line;
    int interval;  // ms from poll to poll
    int after;     // ms from the last poll to the next write
  };
  const std::vector<TCase> cases = {
      {"GETVER", 10, 0},
      {"TYPE TRANS\\010124.DAT", 30, 0},
      {"dir trans", 30, 0},
      {"type tmptable", 70, 0},
      {"ADDREC TMPTABLE 1", 310, 0},
      {"delfile msgtable", 110, 0},
      {"TMPDATA 00001234 0", 15, 5},
      {"TYPE TMPDATA 00001234 0", 15, 35},
  };
  for (const auto& c : cases) {
    line.StopSending();
    std::size_t first = line.Writes().size();
    dm.SendCommand("9@77", c.line);
    ASSERT_EQ(line.Writes().at(first + 1), c.line + "\r");
    auto polls = PollTimesAfterWrite(first + 1);
    ASSERT_EQ(polls.size(), 10u) << c.line;
    EXPECT_EQ(polls[0] - WriteTime(first + 1), 60 + c.interval - (c.interval % 10 == 5 ? 5 : 0)) << c.line;
    for (std::size_t i = 1; i < polls.size(); ++i) EXPECT_EQ(polls[i] - polls[i - 1], c.interval) << c.line;
    EXPECT_EQ(WriteTime(first + 2) - polls.back(), c.after) << c.line;
  }

  // Pieces go out 50 ms apart (60 behind a logon code), the polls start after the last one.
  AddTerminal("10", 1);
  std::size_t first = line.Writes().size();
  dm.SendCommand("10", "PAR 30|5");
  EXPECT_EQ(line.Writes().at(first), "PAR 30\r");
  EXPECT_EQ(line.Writes().at(first + 1), "5\r");
  EXPECT_EQ(WriteTime(first + 1) - WriteTime(first), 50);
  EXPECT_EQ(PollTimesAfterWrite(first + 1).front() - WriteTime(first + 1), 60);
}

TEST_F(SerialTransport, StopTokensEndThePlainReadAsSoonAsTheyArrive) {
  AddTerminal("6", 1);
  TScriptedTerminal terminal(line, 6);
  terminal.plain = [&](const std::string& l) -> std::string {
    if (l == "ADDREC SYSTEM\\HOLITBL.DAT 0101") {
      line.Send("ord 1\r\n", 95);  // the token arrives in two parts
      return "Rec";
    }
    if (l == "PAR 30") return "ok\r\n";
    if (l == "LOCKSYS") return "FAIL\r\n";
    return {};
  };
  std::size_t first = line.Writes().size();
  EXPECT_EQ(dm.SendCommand("6", "ADDREC SYSTEM\\HOLITBL.DAT 0101"), "Record 1\r");
  EXPECT_EQ(WriteTime(first + 1) - WriteTime(first), 100) << "ends at the poll that completes \"Record\"";

  first = line.Writes().size();
  EXPECT_EQ(dm.SendCommand("6", "PAR 30"), "ok\r");
  EXPECT_EQ(WriteTime(first + 1) - WriteTime(first), 50 + 110) << "\"ok\" is no stop token: 10 idle polls";

  first = line.Writes().size();
  EXPECT_EQ(dm.SendCommand("6", "LOCKSYS"), "FAIL\r");
  EXPECT_EQ(WriteTime(first + 1) - WriteTime(first), 60);
  EXPECT_TRUE(terminal.framePieces.empty());
}

TEST_F(SerialTransport, RecordLinesCountAsProgress) {
  AddTerminal("5", 1);
  TScriptedTerminal terminal(line, 5);
  terminal.plain = [](const std::string&) -> std::string { return "OK\r\n"; };
  dm.SendCommand("5",
                 "ADDREC SYSTEM\\HOLITBL.DAT 0101\rSETPAR 3 1\rGETVER\rTMPDATA 00001234 0\raddrec lower");
  EXPECT_EQ(ui.Progress(), (Strings{"1", "2", "3"}));
}

TEST_F(SerialTransport, PiecesAreFramedOneByOneAndTheEchoIsPurged) {
  AddTerminal("18", 1);
  TScriptedTerminal terminal(line, 18);
  line.echoFrames = true;
  terminal.framed = [](const std::string& piece) -> Strings {
    if (piece == "5") return {ReplyFrame(18, 'A', "PAR 30 = 5"), ReplyFrame(18, 'E', "")};
    return {};
  };
  EXPECT_EQ(dm.SendCommand("18", "PAR 30|5"), "PAR 30 = 5\r");
  const std::string a = ":00f12 PAR 30", b = ":00a12 5";
  EXPECT_EQ(terminal.framePieces, (Strings{"PAR 30", "5", "5A"}));
  Strings trace = Trace();
  auto at = std::find(trace.begin(), trace.end(), "rts 1") - trace.begin();
  ASSERT_LT(at + 4, static_cast<long>(trace.size()));
  EXPECT_EQ(trace[at + 1], "write " + a + XorChecksumHex(a));
  EXPECT_EQ(trace[at + 2], "write " + b + XorChecksumHex(b));
  EXPECT_EQ(trace[at + 3], "purge " + a + XorChecksumHex(a) + b + XorChecksumHex(b))
      << "the echo is discarded";
  EXPECT_EQ(trace[at + 4], "rts 0");
  auto rtsUp = line.EventsOf("rts").at(0).ms;
  auto writes = line.EventsOf("write");
  auto framed = std::find_if(writes.begin(), writes.end(), [](auto& e) { return e.data[0] == ':'; });
  EXPECT_EQ(framed[0].ms - rtsUp, 3) << "3 ms before each of several pieces";
  EXPECT_EQ(framed[1].ms - rtsUp, 6);
  EXPECT_EQ(line.EventsOf("purge").at(0).ms - rtsUp, 9);
}

TEST_F(SerialTransport, ASilentTerminalEndsAfterTenFramedAttempts) {
  AddTerminal("2", 1);
  TScriptedTerminal terminal(line, 2);
  EXPECT_EQ(dm.SendCommand("2", "GETVER"), "--\r");
  EXPECT_EQ(terminal.framePieces, Strings(10, "GETVER"));
  EXPECT_EQ(Count("rts", "1"), 10);
  EXPECT_EQ(Count("rts", "0"), 10);
  EXPECT_EQ(line.Writes().back(), "SETLOGON 0\r");
  EXPECT_EQ(clock.ElapsedMs(), 150 + 10 * (3 + 500) + 150);
}

TEST_F(SerialTransport, ABusAddressThatIsNoNumberFailsAfterThePortIsClosed) {
  AddTerminal("abc", 1);
  TScriptedTerminal terminal(line, 1);
  try {
    dm.SendCommand("abc", "GETVER");
    FAIL() << "no conversion error";
  } catch (const TConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(line.Writes(), Strings{"GETVER\r"}) << "no frame and no closing text";
  EXPECT_EQ(Trace().back(), "close");
  EXPECT_FALSE(line.IsOpen());
  EXPECT_FALSE(dm.TermQry.Active());
  EXPECT_FALSE(dm.QCCom.Opened());
}

TEST_F(SerialTransport, GarbledFramedRepliesAreRetriedAndThenUsedAsReceived) {
  AddTerminal("1", 1);
  TScriptedTerminal terminal(line, 1);
  // Noise without a frame start: never complete.
  terminal.framed = [](const std::string&) -> Strings {
    return {std::string("\x01\x7f#~\xfe\x13 NOISE^!\r\n")};
  };
  EXPECT_EQ(dm.SendCommand("1", "GETVER"), "NOISE\r");
  EXPECT_EQ(terminal.framePieces.size(), 20u) << "10 attempts for the line and 10 for the continuation";

  // A length field larger than the frame: never complete either.
  terminal.framePieces.clear();
  terminal.framed = [](const std::string& piece) -> Strings {
    if (piece != "GETVER") return {};
    std::string f = ReplyFrame(1, 'A', "KORVO2K");
    f.replace(1, 3, "0ff");
    return {f, ReplyFrame(1, 'E', "")};
  };
  EXPECT_EQ(dm.SendCommand("1", "GETVER"), "KORVO2K\r");
  EXPECT_EQ(terminal.framePieces, [] {
    Strings s(10, "GETVER");
    s.push_back("5A");
    return s;
  }());

  // A frame cut short: the partial reply after the 10th attempt holds no data.
  terminal.framePieces.clear();
  terminal.framed = [](const std::string&) -> Strings {
    return {ReplyFrame(1, 'A', "KORVO2K/Bio").substr(0, 9)};
  };
  EXPECT_EQ(dm.SendCommand("1", "GETVER"), "\r");
  EXPECT_EQ(terminal.framePieces.size(), 20u);
}

TEST_F(SerialTransport, AMegabyteWithoutStopTokenIsReadWholeUntilTheLineGoesQuiet) {
  AddTerminal("8", 1);
  TScriptedTerminal terminal(line, 8);
  std::string big;
  while (big.size() + 12 <= 1000000) big += "0123456789\r\n";
  big += "0123";
  terminal.plain = [&](const std::string& l) -> std::string { return l == "TYPE TRANS\\" ? big : ""; };
  std::string reply = dm.SendCommand("8", "TYPE TRANS\\");
  const std::size_t pairs = 83333;
  ASSERT_EQ(reply.size(), big.size() - pairs + 1);
  EXPECT_EQ(reply.substr(0, 24), "0123456789 0123456789 01");
  EXPECT_EQ(reply.substr(reply.size() - 7), "9 0123\r");
  EXPECT_EQ(ui.Progress().back(), std::to_string(pairs)) << "the line count of the listing";
  EXPECT_LT(line.MaxWaiting(), 1000u) << "the reader keeps up with the line";
  EXPECT_TRUE(terminal.framePieces.empty());
  // 115200 bit/s is 11.52 bytes per ms; the read ends 10 idle polls of 30 ms after the last byte.
  const auto lastByte = WriteTime(0) + 5 + static_cast<std::int64_t>(big.size() / 11.52);
  EXPECT_GE(WriteTime(1) - lastByte, 300);
  EXPECT_LE(WriteTime(1) - lastByte, 331);
}

TEST_F(SerialTransport, AnEndlessStreamAtFullSpeedEndsAsNoReplyAtTheOverallLimit) {
  AddTerminal("8", 1);
  TScriptedTerminal terminal(line, 8);
  terminal.plain = [&](const std::string& l) -> std::string {
    if (l == "TYPE TRANS\\") line.SendEndless("0123456789\r\n", 11.52, 5);
    return {};
  };
  // Five minutes at 115200 bit/s stay below the size cap: the time limit ends the reply.
  EXPECT_EQ(dm.SendCommand("8", "TYPE TRANS\\"), "--\r");
  EXPECT_TRUE(dm.Link.ReplyCut);
  EXPECT_FALSE(line.EventsOf("purge").empty()) << "the rest of the stream is dropped";
  EXPECT_GE(WriteTime(1) - WriteTime(0), kReplyLimitMs);
  EXPECT_EQ(line.Writes().back(), "SETLOGON 0\r");
  EXPECT_FALSE(line.IsOpen());
}

TEST_F(SerialTransport, EndlessContinuationBlocksStopAtTheBlockLimit) {
  AddTerminal("1", 1);
  TScriptedTerminal terminal(line, 1);
  terminal.framed = [](const std::string&) -> Strings { return {ReplyFrame(1, 'A', "first")}; };
  terminal.nextBlock = [] { return ReplyFrame(1, 'Z', std::string(50, 'x')); };
  std::string reply = dm.SendCommand("1", "TYPE TRANS\\");
  EXPECT_EQ(std::count(terminal.framePieces.begin(), terminal.framePieces.end(), "5A"), kMaxFramedBlocks);
  EXPECT_EQ(reply.size(), 6 + static_cast<std::size_t>(kMaxFramedBlocks - 1) * 51);
  EXPECT_TRUE(dm.Link.ReplyCut);
  EXPECT_EQ(line.Writes().back(), "SETLOGON 0\r");
}

}  // namespace
}  // namespace korvo
