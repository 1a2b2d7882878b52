#include <gtest/gtest.h>

#include <stdexcept>

#include "CommandLine.h"
#include "ReplyOverrideSpec.h"

using namespace korvosim;

namespace {

using Kind = ReplyOverride::Kind;

TEST(ReplyOverrideSpecTest, ReadsEveryKindCountAndEscape) {
  const struct {
    const char* spec;
    ReplyOverride want;
  } cases[] = {
      {"PAR 7=a=b", {.match = "PAR 7", .kind = Kind::Text, .text = "a=b"}},
      {"TMPSAVE=fail", {.match = "TMPSAVE", .kind = Kind::Fail}},
      {"GETVER=Silent", {.match = "GETVER", .kind = Kind::Silent}},
      {"[1]0102=RESTART", {.match = "0102", .kind = Kind::Restart, .times = 1}},
      {"TYPE TRANS\\=partial:10", {.match = "TYPE TRANS\\", .kind = Kind::Partial, .bytes = 10}},
      {"[12]TMPSAVE 1=FAIL", {.match = "TMPSAVE 1", .kind = Kind::Fail, .times = 12}},
      {"DIR=E\\r\\n*\\x2a\\t\\\\", {.match = "DIR", .kind = Kind::Text, .text = "E\r\n**\t\\"}},
      {"GETVER=text:silent", {.match = "GETVER", .kind = Kind::Text, .text = "silent"}},
      {"PAR 7=", {.match = "PAR 7", .kind = Kind::Text, .text = ""}},
  };
  for (const auto& c : cases) {
    const ReplyOverride o = parseReplyOverride(c.spec);
    EXPECT_EQ(o.match, c.want.match) << c.spec;
    EXPECT_EQ(o.kind, c.want.kind) << c.spec;
    EXPECT_EQ(o.text, c.want.text) << c.spec;
    EXPECT_EQ(o.bytes, c.want.bytes) << c.spec;
    EXPECT_EQ(o.times, c.want.times) << c.spec;
  }
}

TEST(ReplyOverrideSpecTest, BadInputIsRefusedWithAMessageSayingWhatIsWrong) {
  const struct {
    const char* spec;
    const char* says;
  } cases[] = {
      {"GETVER", "wants COMMAND=REPLY"},
      {"  =FAIL", "no command"},
      {"[0]GETVER=FAIL", "[K]"},
      {"[-1]GETVER=FAIL", "[K]"},
      {"[2GETVER=FAIL", "[K]"},
      {"GETVER=partial:", "partial: wants a number"},
      {"GETVER=partial:5x", "partial: wants a number"},
      {"GETVER=a\\qb", "unknown escape \\q"},
      {"GETVER=ab\\", "lone \\"},
      {"GETVER=\\x4", "two hex digits"},
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
  EXPECT_THROW(parseCommandLine({"--tcp", "0", "--reply"}), std::invalid_argument);
  EXPECT_THROW(parseCommandLine({"--tcp", "0", "--reply", "GETVER"}), std::invalid_argument);
  const auto c = parseCommandLine({"--tcp", "0", "--reply", "[1]TMPSAVE=FAIL", "--reply", "GETVER=silent"});
  ASSERT_EQ(c.replies.size(), 2u);
  EXPECT_EQ(c.replies[0].times, 1);
  EXPECT_EQ(c.replies[1].kind, Kind::Silent);
}

}  // namespace
