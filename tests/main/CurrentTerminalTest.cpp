#include <gtest/gtest.h>

#include <stdexcept>

#include "support/MainFixture.h"
#include "main/CurrentTerminal.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

class CurrentTerminalTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddTerminal("1", "11", "Gate A", 3);
    AddTerminal("2", "12", "Gate B", 4);
  }
  TSettingsRecord& S() { return dm->Settings; }

  // A scripted terminal line: every GETVER is answered from `replies` by address.
  TTerminalLink ScriptedLink() {
    return {[this](const std::string& address, const std::string& command) {
              sent.push_back(address + ":" + command);
              return replies.count(address) ? replies[address] : std::string("--\r");
            },
            [this](const std::string& address) {
              dialled.push_back(address);
              // The terminal query stands on the clicked terminal while it is dialled.
              dialledOnRow = dm->TermQry.Active() && dm->TermQry.FieldByName("fsAddr").AsString() == address;
              if (dialFails) throw std::runtime_error("modem fault");
              return false;
            }};
  }

  std::map<std::string, std::string> replies;
  std::vector<std::string> sent, dialled, order;
  bool dialledOnRow = false;
  bool dialFails = false;
};

TEST_F(CurrentTerminalTest, LabelAddressIsAfterTheLastBracketWithoutTheLastCharacter) {
  struct TCase {
    std::string label, address;
  };
  const TCase cases[] = {
      {"Gate A [3]", "3"},
      {" [192.168.0.7@12]", "192.168.0.7@12"},  // an empty location
      {" [3]", "3"},
      {"Hall [North] [5551234-9600]", "5551234-9600"},  // a bracket in the location
      {"Hall [5] [x]", "x"},
      {"Dock[2] [7@1]", "7@1"},
      {"[4]", "4"},
      {"no brackets", "no bracket"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LabelAddress(c.label), c.address) << c.label;
}

TEST_F(CurrentTerminalTest, AClickDuringAnotherJobIsRefusedWithABeepAndChangesNothing) {
  replies["1"] = "KORVO2K";
  replies["2"] = "KORVO2K";
  TTerminalFollowers followers;
  followers.Set(
      TFollower::Tables, [this] { order.push_back("tables"); }, [this] { order.push_back("x"); });
  ASSERT_EQ(TerminalClick(*dm, "Gate A [1]", ScriptedLink(), followers), TClickResult::Passed);
  order.clear();
  sent.clear();
  {
    TJobs::TGuard download = dm->Jobs.Start("Load Data");
    ASSERT_TRUE(download);
    EXPECT_EQ(TerminalClick(*dm, "Gate B [2]", ScriptedLink(), followers), TClickResult::Refused);
    EXPECT_TRUE(dm->Jobs.Busy()) << "the running job keeps the guard";
  }
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(dialled, std::vector<std::string>{"1"});
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(ui.Texts("beep").size(), 1u);
  EXPECT_EQ(S().CurAddr(), "1");
  EXPECT_EQ(S().CurLocation(), "Gate A");
  EXPECT_EQ(S().SelectedAddr(), "1");

  // A click that runs is a job itself: it holds the guard while it talks, and lets it go after.
  bool busyWhileTalking = false;
  TTerminalLink link = ScriptedLink();
  auto send = link.SendCommand;
  link.SendCommand = [&](const std::string& a, const std::string& c) {
    busyWhileTalking = dm->Jobs.Busy();
    return send(a, c);
  };
  EXPECT_EQ(TerminalClick(*dm, "Gate B [2]", link, followers), TClickResult::Passed);
  EXPECT_TRUE(busyWhileTalking);
  EXPECT_FALSE(dm->Jobs.Busy());
  EXPECT_EQ(S().CurAddr(), "2");
}

TEST_F(CurrentTerminalTest, SelectTerminalTakesTheRowOrKeepsTheFieldsWithoutOne) {
  SelectTerminal(*dm, "Gate B [2]");
  EXPECT_EQ(S().CurAddr(), "2");
  EXPECT_EQ(S().CurTermNo(), "12");
  EXPECT_EQ(S().CurLocation(), "Gate B");
  EXPECT_EQ(S().CurPort(), 4);
  EXPECT_FALSE(dm->TermQry.Active());

  SelectTerminal(*dm, "Nowhere [9]");
  EXPECT_EQ(S().CurAddr(), "9");
  EXPECT_EQ(S().CurTermNo(), "12");
  EXPECT_EQ(S().CurLocation(), "Gate B");
  EXPECT_EQ(S().CurPort(), 4);

  SelectTerminal(*dm, "x [" + std::string(60, '7') + "]");
  EXPECT_EQ(S().CurAddr(), std::string(50, '7'));

  SelectTerminal(*dm, "");
  EXPECT_EQ(S().CurAddr(), "");
  EXPECT_EQ(S().CurLocation(), "");
  EXPECT_EQ(S().CurTermNo(), "12");
  EXPECT_TRUE(ui.calls.empty()) << "nothing is sent or shown";
}

TEST_F(CurrentTerminalTest, AReplyWithTheProductWordInAnyCaseMakesTheTerminalCurrent) {
  replies["1"] = "korvo2k ver 2.1\r";
  TTerminalFollowers followers;
  followers.Set(
      TFollower::Tables, [this] { order.push_back("tables"); }, [this] { order.push_back("x"); });
  followers.Set(TFollower::DirectCommand, [this] { order.push_back("direct " + S().CurLocation()); });
  followers.Set(TFollower::Administrator, [this] { order.push_back("adm"); });

  EXPECT_EQ(TerminalClick(*dm, "Gate A [1]", ScriptedLink(), followers), TClickResult::Passed);
  EXPECT_EQ(clock.ElapsedMs(), 20);
  EXPECT_EQ(dialled, std::vector<std::string>{"1"});
  EXPECT_TRUE(dialledOnRow);
  EXPECT_FALSE(dm->TermQry.Active());
  EXPECT_EQ(sent, std::vector<std::string>{"1:GETVER"});
  EXPECT_EQ(S().CurAddr(), "1");
  EXPECT_EQ(S().PrevAddr(), "1");
  EXPECT_EQ(S().PrevLocation(), "Gate A");
  EXPECT_EQ(S().SelectedAddr(), "1");
  EXPECT_EQ(order, (std::vector<std::string>{"direct Gate A", "adm", "tables"}));
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(CurrentTerminalTest, AFailedClickGoesBackToTheLastTerminalThatAnswered) {
  replies["1"] = "KORVO2K";
  replies["2"] = "XYZ";
  TTerminalFollowers followers;
  ASSERT_EQ(TerminalClick(*dm, "Gate A [1]", ScriptedLink(), followers), TClickResult::Passed);

  dm->Link.ModemLinkState = "5551234";
  followers.Set(
      TFollower::Tables, [this] { order.push_back("passed"); },
      [this] { order.push_back("tables " + S().CurLocation()); });
  followers.Set(TFollower::Cardholders, {}, [this] { order.push_back("cards " + S().CurLocation()); });
  EXPECT_EQ(TerminalClick(*dm, "Gate B [2]", ScriptedLink(), followers), TClickResult::Failed);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Can't access to Gate B"});
  EXPECT_EQ(dm->Link.ModemLinkState, "");
  // The open Tables and Cardholders windows follow the click even though the terminal is silent.
  EXPECT_EQ(order, (std::vector<std::string>{"tables Gate B", "cards Gate B"}));
  EXPECT_EQ(S().CurAddr(), "1");
  EXPECT_EQ(S().CurLocation(), "Gate A");
  EXPECT_EQ(S().SelectedAddr(), "2");
  EXPECT_EQ(S().PrevAddr(), "1");
  // The number and port of the silent terminal stay: only the address and location go back.
  EXPECT_EQ(S().CurTermNo(), "12");
}

TEST_F(CurrentTerminalTest, ADialErrorClosesTheTerminalQueryAndEndsTheClick) {
  dialFails = true;
  TTerminalFollowers followers;
  EXPECT_THROW(TerminalClick(*dm, "Gate B [2]", ScriptedLink(), followers), std::runtime_error);
  EXPECT_FALSE(dm->TermQry.Active());
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(S().SelectedAddr(), "");
}

}  // namespace
}  // namespace korvo
