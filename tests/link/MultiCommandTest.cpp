#include <gtest/gtest.h>

#include "support/SerialFixture.h"
#include "link/LinkErrors.h"
#include "link/ReplyTokens.h"

namespace korvo {
namespace {

using test::TScriptedTerminal;
using Strings = std::vector<std::string>;

TEST(ReplyTokens, BlanksControlsCommasAndQuotes) {
  EXPECT_EQ(SplitReplyTokens("PAR 7 = 9\r"), (Strings{"PAR", "7", "=", "9"}));
  EXPECT_EQ(SplitReplyTokens("  PAR,7,=,9"), (Strings{"PAR", "7", "=", "9"}));
  EXPECT_EQ(SplitReplyTokens("PAR , 7\t=\r\n9 "), (Strings{"PAR", "7", "=", "9"}));
  EXPECT_EQ(SplitReplyTokens("a,,b,"), (Strings{"a", "", "b", ""})) << "commas enclose empty tokens";
  EXPECT_EQ(SplitReplyTokens("PAR 309 = \"Open the \"\"Door\"\"!\" x"),
            (Strings{"PAR", "309", "=", "Open the \"Door\"!", "x"}));
  EXPECT_EQ(SplitReplyTokens("\"unclosed, quote"), Strings{"unclosed, quote"});
  EXPECT_EQ(SplitReplyTokens(""), Strings{});
  EXPECT_EQ(SplitReplyTokens("--\r"), Strings{"--"});
}

TEST(ReplyTokens, TheParameterValueFollowsTheFirstParEqualsEvenAfterNoise) {
  const struct {
    const char* reply;
    const char* value;
  } cases[] = {
      {"PAR 7 = 9\r", "9"},
      {"\x01\x7f#~\xfe\x13PAR 7 = 9\r\n", "9"},
      {"#~PAR 7 = 9", "9"},
      {"SFMPAR 3 = 1 2", "1 2"},
      {"PAR 309 = PAR 1 = 2", "PAR 1 = 2"},
      {"x y z value", "value"},
      {"--\r", ""},
      {"PAR 7 =", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ParameterValue(c.reply), c.value) << c.reply;
}

struct MultiCommand : test::SerialFixture {};

TEST_F(MultiCommand, ReadParametersSendsOnePARPerLineAndKeepsTheFourthTokenOn) {
  AddTerminal("1", 1);
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [](const std::string& l) -> std::string {
    if (l == "PAR 30") return "PAR 30 = 15\r\n";
    if (l == "PAR 7") return "PAR, 7, =, 9\r\n";
    if (l == "PAR 309") return "PAR 309 =   Open the  Door!\r\n";
    if (l == "PAR 40") return "PAR 40 \" =\" \" spaced \"\r\n";
    if (l == "PAR 2") return "? FAIL\r\n";
    if (l == "SETLOGON 0") return "OK\r\n";
    return {};
  };
  int processed = ui.processed;
  EXPECT_EQ(dm.ReadParameters("1", "30\r\n7"), "15\r\n9\r\n");
  EXPECT_EQ(terminal.plainLines, (Strings{"PAR 30", "SETLOGON 0", "PAR 7", "SETLOGON 0"}));
  EXPECT_EQ(ui.processed - processed, 2) << "window messages after each parameter";
  EXPECT_EQ(line.Opens(), 2);

  EXPECT_EQ(dm.ReadParameters("1", "309\r40\r2"), "Open the Door!\r\nspaced\r\n\r\n")
      << "later tokens joined by single blanks, quoted ones trimmed, too few tokens give nothing";
  EXPECT_EQ(dm.ReadParameters("1", ""), "");
}

TEST_F(MultiCommand, ASilentTerminalGivesEmptyValues) {
  AddTerminal("1", 1);
  line.alwaysFail = true;
  EXPECT_EQ(dm.ReadParameters("1", "30\r7"), "\r\n\r\n");
}

TEST_F(MultiCommand, SendCommandListReportsTheRangeAndEachLineAndOpensThePortPerLine) {
  AddTerminal("2", 3);
  TScriptedTerminal terminal(line, 2);
  terminal.plain = [](const std::string& l) -> std::string {
    if (l == "SETLOGON 0") return "OK\r\n";
    return l + " OK\r\n";
  };
  EXPECT_EQ(dm.SendCommandList("2", "LOCKSYS\rDELFILE SYSTEM\\HOLITBL.DAT\r\nUNLOCKSYS\r"),
            "LOCKSYS OK\rDELFILE SYSTEM\\HOLITBL.DAT OK\rUNLOCKSYS OK\r");
  EXPECT_EQ(ui.Progress(), (Strings{"0-2", "0", "1", "2"}));
  EXPECT_EQ(line.OpenedPorts(), (std::vector<int>{3, 3, 3}));
  EXPECT_EQ(terminal.plainLines, (Strings{"LOCKSYS", "SETLOGON 0", "DELFILE SYSTEM\\HOLITBL.DAT",
                                          "SETLOGON 0", "UNLOCKSYS", "SETLOGON 0"}));
}

TEST_F(MultiCommand, TheDataModuleFindsOnlyTheExactRowAndRefusesAPortOutOfRange) {
  AddTerminal("1", 1);
  AddTerminal("3", 1);
  TQuery q(dm.ADOC);
  dm.InsertRecord(q, "tTerminals",
                  {TextValue("7"), TextValue("007"), TextValue("Yard"), IntValue(4294967297)},
                  {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  line.responder = [this](const std::string&) { line.Send("OK\r\n"); };
  struct TCase {
    std::string address;
    std::string error;
  };
  const TCase cases[] = {
      {"2", "No terminal has the address 2."},
      {"", "No terminal has the address ."},
      {"7", "The terminal Yard [7] has the port 4294967297, which is out of range."},
  };
  for (const auto& c : cases) {
    try {
      dm.SendCommand(c.address, "DELFILE SYSTEM\\AXGROUP.DAT");
      ADD_FAILURE() << c.address << " was sent to";
    } catch (const TLinkError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
    EXPECT_FALSE(dm.TermQry.Active()) << "TermQry is left closed";
  }
  EXPECT_EQ(line.Opens(), 0);
  EXPECT_TRUE(line.Writes().empty());
  EXPECT_TRUE(ui.talks.empty());
  EXPECT_EQ(dm.SendCommand("3", "GETVER"), "OK\r") << "the rows themselves still answer";
  EXPECT_EQ(ui.talks, (Strings{"started Door [3]", "ended"}));
}

TEST_F(MultiCommand, AStopRequestedOfTheRunningJobEndsTheServicesAtTheNextCommand) {
  AddTerminal("1", 1);
  TScriptedTerminal terminal(line, 1);
  terminal.plain = [](const std::string& l) -> std::string { return l + " = 1\r\n"; };
  TJobs::TGuard job = dm.Jobs.Start("Read parameters");
  ASSERT_TRUE(job);
  EXPECT_EQ(dm.ReadParameters("1", "30"), "1\r\n");
  dm.Jobs.RequestStop();
  EXPECT_EQ(dm.ReadParameters("1", "30\r7"), "\r\n\r\n");
  EXPECT_EQ(dm.SendCommandList("1", "LOCKSYS\rUNLOCKSYS"), "");
  EXPECT_EQ(line.Opens(), 1);
  job.End();
  EXPECT_EQ(dm.ReadParameters("1", "7"), "1\r\n") << "the next job runs again";
}

}  // namespace
}  // namespace korvo
