#include <gtest/gtest.h>

#include <stdexcept>

#include "CommandLine.h"
#include "ReplyOverrideSpec.h"

using namespace korvosim;

namespace {

using Kind = ReplyOverride::Kind;

struct SpecCase {
  const char* spec;
  const char* match;
  Kind kind;
  std::string text;
  std::size_t bytes;
  int times;
};

TEST(ReplyOverrideSpecTest, ReadsEveryKindCountAndEscape) {
  const SpecCase cases[] = {
      {"PAR 7=abc", "PAR 7", Kind::Text, "abc", 0, 0},
      {"TMPSAVE=FAIL", "TMPSAVE", Kind::Fail, "", 0, 0},
      {"TMPSAVE=fail", "TMPSAVE", Kind::Fail, "", 0, 0},
      {"GETVER=silent", "GETVER", Kind::Silent, "", 0, 0},
      {"TYPE TRANS\\=partial:10", "TYPE TRANS\\", Kind::Partial, "", 10, 0},
      {"TYPE TRANS\\=PARTIAL:0", "TYPE TRANS\\", Kind::Partial, "", 0, 0},
      {"[1]TMPSAVE 1234=FAIL", "TMPSAVE 1234", Kind::Fail, "", 0, 1},
      {"[12]FINGERS=x", "FINGERS", Kind::Text, "x", 0, 12},
      {"DIR TRANS=EMPTY\\r\\n*", "DIR TRANS", Kind::Text, "EMPTY\r\n*", 0, 0},
      {"TIME=2024\\x2a\\t\\\\", "TIME", Kind::Text, "2024*\t\\", 0, 0},
      {"GETVER=text:silent", "GETVER", Kind::Text, "silent", 0, 0},
      {"GETVER=text:", "GETVER", Kind::Text, "", 0, 0},
      {"PAR 7=", "PAR 7", Kind::Text, "", 0, 0},
      {"PAR 7=a=b", "PAR 7", Kind::Text, "a=b", 0, 0},
  };
  for (const auto& c : cases) {
    const ReplyOverride o = parseReplyOverride(c.spec);
    EXPECT_EQ(o.match, c.match) << c.spec;
    EXPECT_EQ(o.kind, c.kind) << c.spec;
    EXPECT_EQ(o.text, c.text) << c.spec;
    EXPECT_EQ(o.bytes, c.bytes) << c.spec;
    EXPECT_EQ(o.times, c.times) << c.spec;
  }
}

struct BadCase {
  const char* spec;
  const char* says;
};

TEST(ReplyOverrideSpecTest, BadInputIsRefusedWithAMessageSayingWhatIsWrong) {
  const BadCase cases[] = {
      {"GETVER", "wants COMMAND=REPLY"},
      {"=FAIL", "no command"},
      {"  =FAIL", "no command"},
      {"[0]GETVER=FAIL", "[K]"},
      {"[x]GETVER=FAIL", "[K]"},
      {"[-1]GETVER=FAIL", "[K]"},
      {"[2GETVER=FAIL", "[K]"},
      {"GETVER=partial:", "partial: wants a number"},
      {"GETVER=partial:-3", "partial: wants a number"},
      {"GETVER=partial:5x", "partial: wants a number"},
      {"GETVER=a\\qb", "unknown escape \\q"},
      {"GETVER=ab\\", "lone \\"},
      {"GETVER=\\x4", "two hex digits"},
      {"GETVER=\\xZZ", "two hex digits"},
  };
  for (const auto& c : cases) {
    try {
      parseReplyOverride(c.spec);
      ADD_FAILURE() << c.spec << " was taken";
    } catch (const std::invalid_argument& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(c.says), std::string::npos) << c.spec << ": " << what;
      EXPECT_NE(what.find(c.spec), std::string::npos) << c.spec << ": " << what;
    }
  }
}

TEST(ReplyOverrideSpecTest, CommandLineCollectsRepliesInOrderAndRefusesBadOnes) {
  const auto c = parseCommandLine({"--tcp", "0", "--reply", "[1]TMPSAVE=FAIL", "--reply", "GETVER=silent"});
  ASSERT_EQ(c.replies.size(), 2u);
  EXPECT_EQ(c.replies[0].match, "TMPSAVE");
  EXPECT_EQ(c.replies[0].times, 1);
  EXPECT_EQ(c.replies[1].kind, Kind::Silent);
  EXPECT_THROW(parseCommandLine({"--tcp", "0", "--reply"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--tcp", "0", "--reply", "GETVER"}), std::invalid_argument);
}

}  // namespace
