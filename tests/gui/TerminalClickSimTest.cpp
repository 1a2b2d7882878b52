// A click in the terminal tree against the terminal simulator's TCP front end on loopback: the
// data module's own link carries the identity check. Real sockets, virtual time.
#include <gtest/gtest.h>

#include <QTreeWidget>
#include <algorithm>

#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/PingHost.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

// Every echo request is answered: the simulator's host is up.

class TerminalClickSimTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    // A wait that real bytes do not end soon lets its whole limit pass on the virtual clock.
    test::UseLoopbackNetwork(*dm, clock);
    hall->setLogonCode("11");
    yard->setLogonCode("22");
    AddTerminal("127.0.0.1@11", "1", "Hall", tcp.add(hall));
    int yardPort = tcp.add(yard);
    tcp.setFaults(yardPort, korvosim::Faults{.silent = true});
    AddTerminal("127.0.0.1@22", "2", "Yard", yardPort);
  }
  void TearDown() override {
    main.reset();
    TMainFixture::TearDown();
  }
  void Click(QTreeWidget* tree, QTreeWidgetItem* item) {
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> hall = std::make_shared<korvosim::Terminal>();
  std::shared_ptr<korvosim::Terminal> yard = std::make_shared<korvosim::Terminal>();
  std::unique_ptr<TfMain> main;
};

TEST_F(TerminalClickSimTest, TheSimulatorPassesTheIdentityCheckAndASilentOneFails) {
  main = std::make_unique<TfMain>(*program, *dm);
  main->SetSplashDuration(0);
  main->show();
  ASSERT_TRUE(main->FormCreate());
  auto* tree = main->findChild<QTreeWidget*>("tvMachine");
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* hallItem = tree->topLevelItem(0);
  ASSERT_EQ(hallItem->childCount(), 1);
  QTreeWidgetItem* yardItem = hallItem->child(0);
  EXPECT_EQ(yardItem->text(0), "Yard [127.0.0.1@22]");

  Click(tree, hallItem);
  auto commands = tcp.transcript().commands();
  EXPECT_EQ(commands, (std::vector<std::string>{"SETLOGON 11", "GETVER"}));
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(dm->Settings.CurAddr(), "127.0.0.1@11");
  EXPECT_EQ(dm->Settings.PrevAddr(), "127.0.0.1@11");
  EXPECT_EQ(dm->Settings.PrevLocation(), "Hall");

  Click(tree, yardItem);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Can't access to Yard"});
  EXPECT_EQ(dm->Settings.CurAddr(), "127.0.0.1@11");
  EXPECT_EQ(dm->Settings.CurLocation(), "Hall");
  EXPECT_EQ(dm->Settings.SelectedAddr(), "127.0.0.1@22");
  commands = tcp.transcript().commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "GETVER"), 2)
      << "the silent terminal got its command";
}

}  // namespace
}  // namespace korvo
