#include <gtest/gtest.h>

#include "support/MainFixture.h"
#include "main/TerminalTree.h"

namespace korvo {
namespace {

using Tree = std::vector<TTerminalNode>;

class TerminalTreeTest : public test::TMainFixture {};

TEST_F(TerminalTreeTest, LogonAddressesHangUnderTheTerminalBeforeThem) {
  AddTerminal("2@8", "5", "Dock");
  AddTerminal("1", "1", "Gate A");
  AddTerminal("2", "3", "Gate B");
  AddTerminal("1@5", "2", "Office");
  AddTerminal("2@7", "4", "");
  Tree expected = {{"Gate A [1]", {{"Office [1@5]", {}}}},
                   {"Gate B [2]", {{" [2@7]", {}}, {"Dock [2@8]", {}}}}};
  EXPECT_EQ(BuildTerminalTree(*dm), expected);
}

TEST_F(TerminalTreeTest, AChildBeforeAnyTopLevelNodeIsTopLevelAndBlanksAlsoCut) {
  AddTerminal("0@1", "1", "Lobby");
  AddTerminal("10.0.0.5", "2", "Net");
  AddTerminal("10.0.0.5 9", "3", "Net two");
  AddTerminal("3 ", "4", "Trailing");
  Tree expected = {
      {"Lobby [0@1]", {}}, {"Net [10.0.0.5]", {{"Net two [10.0.0.5 9]", {}}}}, {"Trailing [3 ]", {}}};
  EXPECT_EQ(BuildTerminalTree(*dm), expected);
}

TEST_F(TerminalTreeTest, EmptyTableAndClosedDatabaseGiveAnEmptyTreeSilently) {
  EXPECT_TRUE(BuildTerminalTree(*dm).empty());
  AddTerminal("1", "1", "Gate A");
  dm->ADOC.Close();
  EXPECT_TRUE(BuildTerminalTree(*dm).empty());
  EXPECT_TRUE(ui.calls.empty());
}

}  // namespace
}  // namespace korvo
