#include <gtest/gtest.h>

#include "support/SerialFixture.h"
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

}  // namespace
}  // namespace korvo
