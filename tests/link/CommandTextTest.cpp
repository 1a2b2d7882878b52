#include <gtest/gtest.h>

#include "link/CommandText.h"

namespace korvo {
namespace {

using Lines = std::vector<std::string>;

TEST(CommandText, LinesEndAtCrLfOrCrLf) {
  EXPECT_EQ(SplitCommandLines("LOCKSYS\rDELFILE SYSTEM\\AXGROUP.DAT\r"),
            (Lines{"LOCKSYS", "DELFILE SYSTEM\\AXGROUP.DAT"}));
  EXPECT_EQ(SplitCommandLines("A\r\nB\nC"), (Lines{"A", "B", "C"}));
  EXPECT_EQ(SplitCommandLines("A\r\rB"), (Lines{"A", "", "B"}));
  EXPECT_EQ(SplitCommandLines(""), Lines{});
  EXPECT_EQ(SplitCommandLines("\r"), Lines{""});
}

TEST(CommandText, PiecesAndAddressParts) {
  EXPECT_EQ(SplitPieces("PAR 30|5"), (Lines{"PAR 30", "5"}));
  EXPECT_EQ(SplitPieces("GETVER"), Lines{"GETVER"});
  auto p = SplitAddress("192.168.1.20@1234");
  EXPECT_EQ(p.address, "192.168.1.20");
  EXPECT_EQ(p.logon, "1234");
  EXPECT_TRUE(p.hasLogon);
  EXPECT_FALSE(SplitAddress("5").hasLogon);
}

TEST(CommandText, JoiningAndTheCrLfRule) {
  EXPECT_EQ(JoinTrimmedEntries({" KORVO2K OK\r\n", "--\r\n"}), "KORVO2K OK\r--\r");
  EXPECT_EQ(JoinNetEntries({"A\r\n", "B"}, false), "A\r\n\rB\r");
  EXPECT_EQ(JoinNetEntries({"A\r\n", "B"}, true), "A\r\nB");
  EXPECT_EQ(ApplyCrLfRule("one\r\ntwo\r", "TYPE X"), "one two\r");
  EXPECT_EQ(ApplyCrLfRule("one\r\ntwo\r", "TYPE MSGTABLE"), "one\r\ntwo\r");
  EXPECT_EQ(ApplyCrLfRule("one\r\ntwo\r", "TMPDATA 1 0"), "one\r\ntwo\r");
  EXPECT_EQ(ApplyCrLfRule("one\r\ntwo\r", "ADDREC TIMEDMSG x"), "one\r\ntwo\r");
  EXPECT_EQ(ApplyCrLfRule("one\r\ntwo\r", "type msgtable"), "one two\r") << "the test is case-sensitive";
}

}  // namespace
}  // namespace korvo
