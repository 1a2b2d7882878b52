#include <gtest/gtest.h>

#include <stdexcept>

#include "Terminal.h"

using namespace korvosim;

namespace {

using Kind = ReplyOverride::Kind;

TEST(ReplyOverrideTest, MatchIsAPrefixOfTheUpperCasedLineThatEndsAtAWordEnd) {
  const struct {
    const char* match;
    const char* line;
    bool matches;
  } cases[] = {
      {"getver", "  GetVer  ", true},
      {"GETVER", "GETVERSION", false},
      {"PAR 7", "par   7 abc", true},
      {"PAR 7", "PAR 70", false},
      {"PAR", "PAR 7", true},
      {"PAR 7", "SETPAR 7", false},
      {"TYPE TRANS\\", "TYPE TRANS\\", true},
      {"TYPE TRANS\\", "type trans\\010124.dat", true},
      {"TYPE TRANS\\", "TYPE TRANS", false},
      {"TYPE TRANS\\0101", "TYPE TRANS\\010124.DAT", false},
      {"*", "*", true},
      {" ", "GETVER", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(overrideMatches(c.match, c.line), c.matches) << '"' << c.match << "\" on \"" << c.line << '"';
}

struct TerminalReplyOverrideTest : ::testing::Test {
  Terminal terminal;
  SessionState session;
  std::string run(const char* line) { return terminal.execute(line, session, Transport::Tcp).text; }
};

TEST_F(TerminalReplyOverrideTest, FirstMatchingOverrideWinsAndOnlyPartialRunsTheCommand) {
  terminal.addReplyOverride({.match = "PAR 7", .kind = Kind::Text, .text = "x\r\n*", .times = 1});
  terminal.addReplyOverride({.match = "PAR", .kind = Kind::Fail, .times = 1});
  terminal.addReplyOverride({.match = "PAR 7", .kind = Kind::Partial, .bytes = 1});
  const Reply listing = terminal.execute("PAR 7 9", session, Transport::Tcp);
  EXPECT_EQ(listing.text, "x\r\n*\r\n");
  EXPECT_TRUE(listing.listing);
  EXPECT_EQ(run("PAR 7 9"), "FAIL\r\n");
  EXPECT_EQ(terminal.param(7), "6");
  EXPECT_EQ(run("PAR 7 9"), "O");
  EXPECT_EQ(terminal.param(7), "9");
  ASSERT_EQ(terminal.replyOverrides().size(), 1u);
  terminal.clearReplyOverrides();
  EXPECT_EQ(run("PAR 7"), "PAR 7 = 9\r\n");
}

TEST_F(TerminalReplyOverrideTest, OverridesComeBeforeTheLoadAndTheLogonCheck) {
  terminal.addReplyOverride({.match = "*", .kind = Kind::Silent, .times = 1});
  EXPECT_EQ(run("LOAD SYSTEM\\HOLITBL.DAT"), "OK\r\n");
  EXPECT_EQ(run("*"), "");  // the end of the upload not taken: still loading
  EXPECT_TRUE(terminal.loading());
  EXPECT_EQ(run("*"), "OK\r\n");
  terminal.setLogonCode("4711");
  terminal.addReplyOverride({.match = "GETVER", .kind = Kind::Text, .text = "V9 OK"});
  EXPECT_EQ(run("GETVER"), "V9 OK\r\n");
  EXPECT_EQ(run("PAR 7"), "FAIL\r\n");
  EXPECT_THROW(terminal.addReplyOverride({.match = "  "}), std::invalid_argument);
  EXPECT_THROW(terminal.addReplyOverride({.match = "PAR", .times = -1}), std::invalid_argument);
}

}  // namespace
