#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <regex>
#include <stdexcept>

#include "GuiFixture.h"
#include "main/ui/QtOperatorUi.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

class MainWindowTest : public test::TGuiFixture {
 protected:
  QTreeWidget* Tree() { return Find<QTreeWidget>("tvMachine"); }
  void Click(QTreeWidgetItem* item) {
    QTreeWidget* tree = Tree();
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  }
  QTreeWidgetItem* Item(const QString& label) {
    auto found = Tree()->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
  }
};

TEST_F(MainWindowTest, TheTreeShowsTerminalsWithTheirLogonAddressesUnderThem) {
  AddTerminal("1", "1", "Gate A");
  AddTerminal("1@5", "2", "Office");
  AddTerminal("2", "3", "Gate B");
  AddTerminal("2@7", "4", "");
  AddTerminal("2@8", "5", "Dock");
  TfMain& m = NewMain();
  EXPECT_EQ(m.windowTitle(), "KORVO2K/Bio Utility");
  ASSERT_TRUE(m.FormCreate());
  QTreeWidget* tree = Tree();
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  QTreeWidgetItem* a = tree->topLevelItem(0);
  QTreeWidgetItem* b = tree->topLevelItem(1);
  EXPECT_EQ(a->text(0), "Gate A [1]");
  ASSERT_EQ(a->childCount(), 1);
  EXPECT_EQ(a->child(0)->text(0), "Office [1@5]");
  EXPECT_EQ(b->text(0), "Gate B [2]");
  ASSERT_EQ(b->childCount(), 2);
  EXPECT_EQ(b->child(0)->text(0), " [2@7]");
  EXPECT_EQ(b->child(1)->text(0), "Dock [2@8]");
  // The first terminal is current from the start, without a command and without a highlight.
  EXPECT_EQ(dm->Settings.CurAddr(), "1");
  EXPECT_EQ(dm->Settings.CurLocation(), "Gate A");
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(tree->selectedItems().isEmpty());
}

TEST_F(MainWindowTest, AClickRunsTheIdentityCheckAndASilentTerminalGivesWayToTheLastOne) {
  AddTerminal("1", "1", "Gate A");
  AddTerminal("2", "3", "Gate B");
  replies["1"] = "Korvo2K Bio v3";
  replies["2"] = "XYZ";
  TfMain& m = NewMain();
  m.show();
  ASSERT_TRUE(m.FormCreate());
  Click(Item("Gate A [1]"));
  EXPECT_EQ(sent, std::vector<std::string>{"1:GETVER"});
  EXPECT_EQ(dm->Settings.PrevAddr(), "1");
  EXPECT_TRUE(ui.calls.empty());

  Click(Item("Gate B [2]"));
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Can't access to Gate B"});
  EXPECT_EQ(dm->Settings.CurAddr(), "1");
  EXPECT_EQ(dm->Settings.CurLocation(), "Gate A");
  EXPECT_EQ(dm->Settings.SelectedAddr(), "2");
}

TEST_F(MainWindowTest, AnEmptyTableGivesAnEmptyTreeAndNoCurrentTerminal) {
  dm->Settings.SetCurAddr("9");
  TfMain& m = NewMain();
  m.show();
  ASSERT_TRUE(m.FormCreate());
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  EXPECT_EQ(dm->Settings.CurAddr(), "9") << "no first terminal to select";
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  m.tvMachineClick();
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(MainWindowTest, MenuToolbarAndStatusBarHaveTheirItems) {
  TfMain& m = NewMain();
  auto* bar = Find<QMenuBar>("MainMenu1");
  ASSERT_NE(bar, nullptr);
  QStringList top;
  for (QAction* a : bar->actions())
    if (a->isVisible()) top << a->text();
  EXPECT_EQ(top, (QStringList{"&Tools", "&Setup", "&Hardware", "About"}));
  auto* tools = Find<QMenu>("miTools");
  QStringList toolItems;
  for (QAction* a : tools->actions()) toolItems << a->text();
  EXPECT_EQ(toolItems, (QStringList{"&Load Data", "&Time && Date", "&Direct Command", "&Online", "E&xit"}));
  auto* setup = Find<QMenu>("miSetup");
  QStringList setupItems;
  for (QAction* a : setup->actions()) setupItems << a->text();
  EXPECT_EQ(setupItems, (QStringList{"Cardholde&rs", "&Communication", "&Data Loading", "Tables",
                                     "&Administrator", "&System"}));
  auto* imm = Find<QAction>("Imm");
  auto* pass = Find<QAction>("Pass");
  EXPECT_EQ(imm->text(), "Immediate Data Loading");
  EXPECT_EQ(pass->text(), "Password Required");
  EXPECT_TRUE(imm->isCheckable() && pass->isCheckable());

  auto* tb = Find<QToolBar>("tbMenu");
  QStringList buttons;
  for (QAction* a : tb->actions()) buttons << a->objectName();
  EXPECT_EQ(buttons, (QStringList{"tbLoad", "tbTime", "tbDirect", "tbOnline", "tbCard", "tbComm", "tbLoading",
                                  "tbTable", "tbAdm", "tbHardware", "tbExit"}));
  EXPECT_EQ(Find<QAction>("tbLoad")->text(), "Load Data");
  EXPECT_EQ(Find<QAction>("tbAdm")->text(), "Administrator");
  EXPECT_EQ(Find<QAction>("tbDirect")->text(), "Direct Command");
  EXPECT_EQ(Find<QAction>("tbComm")->text(), "Communication");
  EXPECT_EQ(Find<QAction>("tbOnline")->text(), "Online");
  EXPECT_EQ(Find<QAction>("tbExit")->text(), "Exit");

  auto* vm = Find<QProgressBar>("VM");
  ASSERT_NE(vm, nullptr);
  EXPECT_EQ(vm->parentWidget()->objectName(), "StatusPanel1");
  EXPECT_EQ(Find<QLabel>("StatusPanel2")->width(), 80);
  EXPECT_EQ(Find<QLabel>("StatusPanel3")->alignment(), Qt::AlignCenter);
  auto* timer = Find<QTimer>("Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 1000);
  EXPECT_TRUE(timer->isActive());

  m.Timer1Timer();
  std::string date = Find<QLabel>("StatusPanel2")->text().toStdString();
  std::string time = Find<QLabel>("StatusPanel3")->text().toStdString();
  EXPECT_TRUE(std::regex_match(date, std::regex(R"(\d{4}/\d{2}/\d{2})"))) << date;
  EXPECT_TRUE(std::regex_match(time, std::regex(R"(\d{2}:\d{2}:\d{2})"))) << time;
  EXPECT_EQ(date.substr(0, 4), "2026");  // the virtual clock's year
}

TEST_F(MainWindowTest, TheSystemSwitchesFollowTheSettingsAndRewriteThem) {
  dm->Settings.SetImmediateLoading(true);
  TfMain& m = NewMain();
  m.FormActivate();
  auto* imm = Find<QAction>("Imm");
  auto* pass = Find<QAction>("Pass");
  EXPECT_TRUE(imm->isChecked());
  EXPECT_FALSE(pass->isChecked());

  pass->trigger();
  EXPECT_TRUE(pass->isChecked());
  EXPECT_EQ(SettingsBytes()[232], '\x01');
  imm->trigger();
  EXPECT_FALSE(imm->isChecked());
  EXPECT_EQ(SettingsBytes()[233], '\x00');
  auto log = LogMessages();
  EXPECT_EQ(log[log.size() - 2], "Edit System : Password Required = True.");
  EXPECT_EQ(log.back(), "Edit System : Immediate Data Loading = False.");
}

TEST_F(MainWindowTest, ProgressNoticesMoveTheMeterAndSetItsText) {
  TfMain& m = NewMain();
  TQtOperatorUi qtUi;
  auto* vm = Find<QProgressBar>("VM");
  qtUi.ProgressNotice("0-10-Step%");
  EXPECT_EQ(vm->maximum(), 100) << "no main window yet: the notice goes nowhere";
  EXPECT_EQ(qtUi.ProgressMaximum(), 100) << "nobody keeps a meter for this one yet";
  qtUi.SetFrame(&m);
  qtUi.ProgressNotice("0-10-Step%");
  qtUi.ProgressNotice("4");
  EXPECT_EQ(vm->minimum(), 0);
  EXPECT_EQ(vm->maximum(), 10);
  EXPECT_EQ(vm->value(), 4);
  EXPECT_EQ(vm->text(), "Step40%");
  EXPECT_EQ(qtUi.ProgressMaximum(), 10);
  m.ProgressNotice("0-55");
  EXPECT_EQ(vm->maximum(), 55);
  EXPECT_EQ(vm->text(), "7%");
  m.ProgressNotice("abc");
  EXPECT_EQ(vm->value(), 0);
  EXPECT_GE(ui.processed, 4) << "pending messages are processed first";
}

TEST_F(MainWindowTest, ImmediateLoadingStartsOnTheFirstActivationOnly) {
  dm->Settings.SetImmediateLoading(true);
  TfMain& m = NewMain();
  int opened = 0;
  m.OpenImmediateLoading = [&] { ++opened; };
  m.FormActivate();
  m.FormActivate();
  EXPECT_EQ(opened, 1);
  auto log = LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Immediate Data Loading."), 1);

  // An aborted immediate load is not started again by the next run's window either.
  TfMain& again = NewMain();
  again.OpenImmediateLoading = [&] { ++opened; };
  again.SetImmediateLoadAborted(true);
  again.FormActivate();
  EXPECT_EQ(opened, 1);
}

TEST_F(MainWindowTest, StartUpSynchronisesClocksWhenConfiguredAndIgnoresItsErrors) {
  AddTerminal("1", "1", "Gate A");
  TfMain& m = NewMain();
  int runs = 0;
  m.SynchronizeAllTerminals = [&] {
    ++runs;
    throw std::runtime_error("terminal did not answer");
  };
  ASSERT_TRUE(m.FormCreate());
  EXPECT_EQ(runs, 0);
  dm->SysParam.SynchronizeTime = true;
  ASSERT_TRUE(m.FormCreate());
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(dm->Settings.CurAddr(), "1") << "the first terminal is still selected";
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(MainWindowTest, ClosingWritesTheExitLines) {
  TfMain& m = NewMain();
  m.show();
  m.close();
  auto log = LogMessages();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "Exit from KORVO2K/Bio UTILITY.");
  EXPECT_EQ(log.back(), "");
  EXPECT_EQ(dm->AuxQry, nullptr);
}

}  // namespace
}  // namespace korvo
