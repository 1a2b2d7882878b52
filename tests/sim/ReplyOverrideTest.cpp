#include <gtest/gtest.h>

#include <stdexcept>

#include "Terminal.h"

using namespace korvosim;

namespace {

using Kind = ReplyOverride::Kind;

struct MatchCase {
  const char* match;
  const char* line;
  bool matches;
};

TEST(ReplyOverrideTest, MatchIsAPrefixOfTheUpperCasedLineThatEndsAtAWordEnd) {
  const MatchCase cases[] = {
      {"GETVER", "GETVER", true},
      {"getver", "  GetVer  ", true},
      {"GETVER", "GETVERSION", false},
      {"PAR 7", "PAR 7", true},
      {"PAR 7", "par   7 abc", true},
      {"PAR 7", "PAR 70", false},
      {"PAR", "PAR 7", true},
      {"PAR", "PARX 7", false},
      {"PAR 7", "SETPAR 7", false},
      {"TYPE TRANS\\", "TYPE TRANS\\", true},
      {"TYPE TRANS\\", "type trans\\010124.dat", true},
      {"TYPE TRANS\\", "TYPE TRANS", false},
      {"TYPE TRANS", "TYPE TRANS\\010124.DAT", true},
      {"TYPE TRANS\\0101", "TYPE TRANS\\010124.DAT", false},
      {"*", "*", true},
      {"TMPSAVE", "", false},
      {"", "GETVER", false},
      {" ", "GETVER", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(overrideMatches(c.match, c.line), c.matches) << '"' << c.match << "\" on \"" << c.line << '"';
}

struct KindCase {
  const char* name;
  ReplyOverride o;
  const char* command;
  std::string reply;
  std::string token;
  bool ran;  // the command changed parameter 7
};

TEST(ReplyOverrideTest, EachKindReplacesTheAnswerAndOnlyPartialRunsTheCommand) {
  const KindCase cases[] = {
      {"text", {.match = "PAR 7", .kind = Kind::Text, .text = "abc"}, "PAR 7 9", "abc\r\n", "", false},
      {"text with its own line end",
       {.match = "PAR 7", .kind = Kind::Text, .text = "x OK\r"},
       "PAR 7 9",
       "x OK\r",
       "OK",
       false},
      {"listing text",
       {.match = "PAR", .kind = Kind::Text, .text = "a\r\n*"},
       "PAR 7 9",
       "a\r\n*\r\n",
       "*",
       false},
      {"fail", {.match = "PAR", .kind = Kind::Fail}, "PAR 7 9", "FAIL\r\n", "FAIL", false},
      {"silent", {.match = "PAR 7", .kind = Kind::Silent}, "PAR 7 9", "", "", false},
      {"partial", {.match = "PAR 7", .kind = Kind::Partial, .bytes = 1}, "PAR 7 9", "O", "", true},
      {"partial of nothing", {.match = "PAR 7", .kind = Kind::Partial}, "PAR 7 9", "", "", true},
      {"partial longer than the answer",
       {.match = "PAR 7", .kind = Kind::Partial, .bytes = 50},
       "PAR 7 9",
       "OK\r\n",
       "OK",
       true},
  };
  for (const auto& c : cases) {
    Terminal terminal;
    SessionState session;
    terminal.addReplyOverride(c.o);
    const Reply r = terminal.execute(c.command, session, Transport::Tcp);
    EXPECT_EQ(r.text, c.reply) << c.name;
    EXPECT_EQ(r.token, c.token) << c.name;
    EXPECT_EQ(terminal.param(7), c.ran ? "9" : "6") << c.name;
    // Other commands keep their own answers.
    EXPECT_EQ(terminal.execute("GETVER", session, Transport::Tcp).text, "KORVO2K/Bio Ver 2.00 OK\r\n")
        << c.name;
  }
}

TEST(ReplyOverrideTest, ListingFlagFollowsAStarLineAtTheEnd) {
  EXPECT_TRUE(fixedReply("EMPTY\r\n*").listing);
  EXPECT_FALSE(fixedReply("NOTHING ?*").listing);
  EXPECT_EQ(fixedReply("NOTHING ?*").token, "*");
  EXPECT_EQ(fixedReply("NOTOK").token, "");
  EXPECT_EQ(fixedReply("").text, "\r\n");
}

TEST(ReplyOverrideTest, CountLimitsTheOverrideToTheFirstMatchingLines) {
  Terminal terminal;
  SessionState session;
  terminal.addReplyOverride({.match = "TMPSAVE", .kind = Kind::Fail, .times = 2});
  auto run = [&](const char* line) { return terminal.execute(line, session, Transport::Serial).text; };
  EXPECT_EQ(run("GETVER"), "KORVO2K/Bio Ver 2.00 OK\r\n");  // not a match: no use spent
  ASSERT_EQ(terminal.replyOverrides().size(), 1u);
  EXPECT_EQ(terminal.replyOverrides()[0].times, 2);
  EXPECT_EQ(run("TMPSAVE 1234"), "FAIL\r\n");
  EXPECT_FALSE(terminal.awaitingTemplate());
  EXPECT_EQ(terminal.replyOverrides()[0].times, 1);
  EXPECT_EQ(run("tmpsave 99"), "FAIL\r\n");
  EXPECT_TRUE(terminal.replyOverrides().empty());
  EXPECT_EQ(run("TMPSAVE 1234"), "OK\r\n");
  EXPECT_TRUE(terminal.awaitingTemplate());
}

TEST(ReplyOverrideTest, FirstAddedWinsAndClearingRestoresNormalAnswers) {
  TerminalOptions options;
  options.replyOverrides = {{.match = "PAR 7", .kind = Kind::Text, .text = "seven", .times = 1},
                            {.match = "PAR", .kind = Kind::Text, .text = "any"}};
  Terminal terminal(options);
  SessionState session;
  auto run = [&](const char* line) { return terminal.execute(line, session, Transport::Tcp).text; };
  EXPECT_EQ(run("PAR 7"), "seven\r\n");
  EXPECT_EQ(run("PAR 7"), "any\r\n");
  EXPECT_EQ(run("PAR 8"), "any\r\n");
  terminal.clearReplyOverrides();
  EXPECT_EQ(run("PAR 7"), "PAR 7 = 6\r\n");
}

TEST(ReplyOverrideTest, OverridesComeBeforeTheLogonCheckAndTheLoad) {
  Terminal terminal;
  SessionState session;
  auto run = [&](const char* line) { return terminal.execute(line, session, Transport::Tcp).text; };
  terminal.addReplyOverride({.match = "*", .kind = Kind::Fail, .times = 1});
  EXPECT_EQ(run("LOAD SYSTEM\\HOLITBL.DAT"), "OK\r\n");
  EXPECT_EQ(run("0101"), "Record\r\n");
  EXPECT_EQ(run("*"), "FAIL\r\n");  // the end of the upload refused: still loading
  EXPECT_TRUE(terminal.loading());
  EXPECT_EQ(run("*"), "OK\r\n");
  EXPECT_FALSE(terminal.loading());

  terminal.setLogonCode("4711");
  terminal.addReplyOverride({.match = "GETVER", .kind = Kind::Text, .text = "V9 OK"});
  EXPECT_EQ(run("GETVER"), "V9 OK\r\n");
  EXPECT_EQ(run("PAR 7"), "FAIL\r\n");
}

TEST(ReplyOverrideTest, OverrideWithoutCommandOrWithNegativeCountIsRefused) {
  Terminal terminal;
  EXPECT_THROW(terminal.addReplyOverride({.match = "  "}), std::invalid_argument);
  EXPECT_THROW(terminal.addReplyOverride({.match = "PAR", .times = -1}), std::invalid_argument);
  EXPECT_TRUE(terminal.replyOverrides().empty());
}

}  // namespace
