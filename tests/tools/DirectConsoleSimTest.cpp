// The direct command console against the simulated terminal over loopback TCP, on virtual time: what
// the terminal receives, what the list shows, what the log says.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "store/DataMod.h"
#include "support/LogMessages.h"
#include "support/NetTestSupport.h"
#include "tools/ConsoleLayouts.h"
#include "tools/DirectComm.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using Kind = korvosim::ReplyOverride::Kind;
constexpr const char* kNet = "127.0.0.1";

Strings SplitLines(const std::string& text) {
  Strings lines;
  std::size_t start = 0;
  for (std::size_t cr; (cr = text.find('\r', start)) != std::string::npos; start = cr + 1)
    lines.push_back(text.substr(start, cr - start));
  lines.push_back(text.substr(start));
  return lines;
}

class DirectConsoleSim : public test::TNetFixture {
 protected:
  DirectConsoleSim() { AddTerminal(kNet, tcp.add(terminal)); }
  bool Run(const std::string& box) { return console.Run(kNet, box); }
  // The commands received since the last call, without the logons of the link.
  Strings Commands() {
    Strings out;
    const auto entries = tcp.transcript().entries();
    for (std::size_t i = seen; i < entries.size(); ++i)
      if (entries[i].text.rfind("SETLOGON", 0) != 0) out.push_back(entries[i].text);
    seen = entries.size();
    return out;
  }
  // The console's lines of the monthly log.
  Strings Log() {
    Strings lines;
    for (const auto& l : test::LogMessages(dir.Read(program.Log.CurrentPath().substr(dir.Path().size()))))
      if (l.rfind("Direct Command", 0) == 0) lines.push_back(l);
    return lines;
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
  std::size_t seen = 0;
  TResultList list;
  std::string last;
  TDirectConsole console{dm.Link, ui, list, [this](const std::string& m) { dm.WriteLog(m, true); }, last};
};

TEST_F(DirectConsoleSim, CommandsGoUpperCasedAndFileChangesAreLogged) {
  struct TCase {
    std::string box;
    Strings sent;
    Strings shown;
  };
  terminal->setFile("SYSTEM\\HOLITBL.DAT", {"0101", "2512"});
  const std::vector<TCase> cases = {
      {"getver", {"GETVER"}, {"KORVO2K/Bio Ver 2.00 OK"}},
      {"type system\\holitbl.dat", {"TYPE SYSTEM\\HOLITBL.DAT"}, {"0101", "2512", "*"}},
      {"load system\\x.dat", {"LOAD SYSTEM\\X.DAT"}, {"OK"}},
      {"*", {"*"}, {"OK"}},
      {"delfile system\\x.dat", {"DELFILE SYSTEM\\X.DAT"}, {"OK"}},
      {"type system\\x.dat", {"TYPE SYSTEM\\X.DAT"}, {"FILE NOT FOUND ?* "}},
      {"", {""}, {"--"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(Run(c.box)) << c.box;
    EXPECT_EQ(Commands(), c.sent) << c.box;
    EXPECT_EQ(list.Lines(), c.shown) << c.box;
    EXPECT_EQ(last, c.box);
  }
  EXPECT_EQ(Log(),
            (Strings{"Direct Command : LOAD SYSTEM\\X.DAT.", "Direct Command : DELFILE SYSTEM\\X.DAT."}));
  EXPECT_TRUE(ui.Texts("error").empty());
}

TEST_F(DirectConsoleSim, SystemLogLayouts) {
  terminal->addReplyOverride({.match = "SYSLOGDAT",
                              .kind = Kind::Text,
                              .text = "01/02/24 10:00:00 DOOR OPEN 02/02/24 11:30:00 ALARM 2 Records",
                              .times = 1});
  ASSERT_TRUE(Run("syslogdat"));
  EXPECT_EQ(list.Lines(),
            (Strings{"", "01/02/24 10:00:00 DOOR OPEN ", "02/02/24 11:30:00 ALARM ", "2 Records"}));
  ASSERT_TRUE(Run("DELFILE SYSLOGDAT"));
  ASSERT_TRUE(Run("SYSLOGDAT"));
  EXPECT_EQ(list.Lines(), Strings{"0 Records"});
}

TEST_F(DirectConsoleSim, DeleteAllNeedsThePhraseAndTheOperatorsYes) {
  terminal->setFile("SYSTEM\\AXGROUP.DAT", {"1"});
  terminal->setFile("SYSTEM\\EXPDATE.DAT", {"20250101"});

  // A blank before the phrase: an ordinary command, no question.
  Run(std::string(" ") + kDeleteAllPhrase);
  EXPECT_EQ(Commands(), Strings{" KRAVOMELITUSANDORAPEXIQUINTALOBERNYST"});
  EXPECT_TRUE(ui.Texts("yesno").empty());

  // No: nothing is sent, one empty line stays.
  ui.yesNoAnswers = {false};
  EXPECT_TRUE(Run("KRAVOMELITUSANDORAPEXIQUINTALOBERNYST"));
  EXPECT_EQ(ui.Texts("yesno"), Strings{kDeleteAllQuestion});
  EXPECT_TRUE(Commands().empty());
  EXPECT_EQ(list.Lines(), Strings{""});
  EXPECT_TRUE(Log().empty());

  ui.yesNoAnswers = {true};
  EXPECT_TRUE(Run("KravomelitusandorapexiquintaloBernyst"));
  Strings sent = SplitLines(kDeleteAllText);
  sent.push_back("DIR SYSTEM");
  EXPECT_EQ(Commands(), sent);
  EXPECT_FALSE(terminal->hasFile("SYSTEM\\AXGROUP.DAT"));
  ASSERT_EQ(list.Count(), 2) << list.Lines()[0];
  EXPECT_EQ(list.Lines()[0].substr(0, 5), "Used ");
  EXPECT_EQ(list.Lines()[0].substr(list.Lines()[0].size() - 38), std::string(27, ' ') + "--> SYSTEM ");
  EXPECT_EQ(list.Lines()[1].substr(0, 9), "Used     ");
  EXPECT_NE(list.Lines()[1].find(", 1 x 8 --> EXPDATE.DAT"), std::string::npos) << list.Lines()[1];
  EXPECT_EQ(Log(), Strings{"Direct Command : Delete all table on terminal."});
  EXPECT_TRUE(ui.Texts("error").empty());
}

TEST_F(DirectConsoleSim, ErrorsKeepTheTextInTheBoxAndTheList) {
  EXPECT_FALSE(console.Run("9", "getver"));
  EXPECT_EQ(list.Lines(), Strings{"getver"});
  EXPECT_EQ(ui.Texts("error").size(), 1u);
  // A listing the terminal did not give: too few words for its layout.
  terminal->addReplyOverride({.match = "DIR TRANS", .kind = Kind::Text, .text = "EMPTY\r\n*"});
  EXPECT_FALSE(Run("dir trans"));
  EXPECT_EQ(list.Lines(), Strings{"dir trans"});
  EXPECT_EQ(ui.Texts("error").size(), 2u);
}

TEST_F(DirectConsoleSim, SavedListHasCrLfLines) {
  Run("type system\\none.dat");
  list.Add("second");
  SaveResultLines(dir.Path() + "out.txt", list.Lines());
  EXPECT_EQ(dir.Read("out.txt"), "FILE NOT FOUND ?* \r\nsecond\r\n");
  EXPECT_THROW(SaveResultLines(dir.Path() + "no/such/out.txt", list.Lines()), std::runtime_error);
}

}  // namespace
}  // namespace korvo
