// The Communication Setting, Direct Command and System Information windows against the simulated
// terminal over loopback TCP, on virtual time.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "collect/ui/DBNavigator.h"
#include "collect/ui/MappingModel.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"
#include "tools/ui/Communication.h"
#include "tools/ui/DirectComm.h"
#include "tools/ui/SysInfoStatus.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using TButton = TMappingModel::TButton;

// Network terminals 127.0.0.1@1 ("Gate 1") and 127.0.0.1@2 ("Gate 2"), both answering.
class ToolsWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    test::UseLoopbackNetwork(*dm, clock);
    for (const std::string n : {"1", "2"}) {
      auto t = std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = n});
      terminals.push_back(t);
      AddTerminal("127.0.0.1@" + n, "00" + n, "Gate " + n, tcp.add(t));
    }
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    main->show();
    EXPECT_TRUE(main->FormCreate());
  }
  template <class T>
  T* Open(const char* button, TToolWindow id) {
    Find<QAction>(button)->trigger();
    return main->ToolWindows().As<T>(id);
  }
  Strings Tree() {
    Strings labels;
    auto* tree = Find<QTreeWidget>("tvMachine");
    for (QTreeWidgetItemIterator it(tree); *it; ++it) labels.push_back((*it)->text(0).toStdString());
    return labels;
  }
  Strings Results(QWidget* w) {
    Strings lines;
    auto* list = w->findChild<QListWidget*>("lbResult");
    for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
  }

  korvosim::TcpFront tcp;
  std::vector<std::shared_ptr<korvosim::Terminal>> terminals;
};

TEST_F(ToolsWindowTest, CommunicationGridFollowsTheTree) {
  auto* w = Open<TfCommunication>("tbComm", TToolWindow::Communication);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->windowTitle(), "Communication Setting");
  auto* grid = w->findChild<QTableView*>("dbTerm");
  auto* nav = w->findChild<TDBNavigator*>("NavTerm");
  ASSERT_TRUE(grid && nav);
  QStringList titles;
  for (int c = 0; c < 4; ++c)
    titles << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  EXPECT_EQ(titles, (QStringList{"Address ", "TermNo", "Location", "Port"}));
  for (const auto& [column, limit] : std::vector<std::pair<int, int>>{{0, 50}, {1, 3}, {2, 15}}) {
    QWidget* editor = grid->itemDelegate()->createEditor(grid, {}, grid->model()->index(0, column));
    EXPECT_EQ(qobject_cast<QLineEdit*>(editor)->maxLength(), limit) << column;
    delete editor;
  }

  // A row move makes the first terminal current, with only the Cur* fields and nothing sent.
  dm->Settings.SetCurAddr("127.0.0.1@2");
  dm->Settings.SetSelectedAddr("127.0.0.1@2");
  const std::size_t before = tcp.transcript().size();
  nav->Click(TButton::Last);
  EXPECT_EQ(dm->Settings.CurAddr(), "127.0.0.1@1");
  EXPECT_EQ(dm->Settings.CurLocation(), "Gate 1");
  EXPECT_EQ(dm->Settings.SelectedAddr(), "127.0.0.1@2");
  EXPECT_EQ(tcp.transcript().size(), before);

  // A new terminal reaches the tree; a duplicate address stays in its edit with the error shown.
  auto* model = w->Model();
  nav->Click(TButton::Insert);
  model->setData(model->index(model->Table().Current(), 0), "3", Qt::EditRole);
  model->setData(model->index(model->Table().Current(), 2), "Gate 1", Qt::EditRole);
  nav->Click(TButton::Post);
  EXPECT_EQ(Tree(), (Strings{"Gate 1 [127.0.0.1@1]", "Gate 2 [127.0.0.1@2]", "Gate 1 [3]"}));
  EXPECT_EQ(ui.Texts("warning").size(), 1u) << "the location names another terminal too";
  nav->Click(TButton::Insert);
  model->setData(model->index(model->Table().Current(), 0), "3", Qt::EditRole);
  nav->Click(TButton::Post);
  EXPECT_EQ(ui.Texts("error").size(), 1u);
  EXPECT_EQ(model->Table().State(), TMappingTable::TState::Insert);
  nav->Click(TButton::Cancel);

  // Deleting every terminal leaves an empty tree and the current terminal as it was.
  ui.yesNoAnswers = {true, true, true};
  for (int i = 0; i < 2; ++i) nav->Click(TButton::Delete);
  ASSERT_EQ(Tree().size(), 1u);
  const std::string last = dm->Settings.CurAddr();
  EXPECT_EQ(Tree()[0], dm->Settings.CurLocation() + " [" + last + "]");
  nav->Click(TButton::Delete);
  EXPECT_TRUE(Tree().empty());
  EXPECT_EQ(dm->Settings.CurAddr(), last);
  EXPECT_EQ(ui.Texts("yesno"), (Strings{"Delete record?", "Delete record?", "Delete record?"}));

  // Close writes the settings file.
  w->findChild<QPushButton*>("bbClose")->click();
  FlushDeletes();
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::Communication));
  EXPECT_EQ(SettingsBytes().substr(1, last.size()), last);
}

TEST_F(ToolsWindowTest, CommunicationTestPostsFirst) {
  terminals[1]->setVersion("korvo2k/bio 2.00");
  auto* w = Open<TfCommunication>("tbComm", TToolWindow::Communication);
  auto* model = w->Model();
  model->MoveTo(1);
  model->setData(model->index(1, 2), "Hall", Qt::EditRole);
  w->findChild<QPushButton*>("bbTest")->click();
  EXPECT_EQ(ui.Texts("information"), Strings{"Communication OK"});
  EXPECT_EQ(model->Table().State(), TMappingTable::TState::Browse);
  EXPECT_EQ(Tree()[1], "Hall [127.0.0.1@2]");
  terminals[0]->setVersion("OTHER");
  model->MoveTo(0);
  w->findChild<QPushButton*>("bbTest")->click();
  EXPECT_EQ(ui.Texts("error"), Strings{"Communication Error"});
}

TEST_F(ToolsWindowTest, DirectCommandConsole) {
  main->SelectTerminal("Gate 1 [127.0.0.1@1]");
  auto* w = Open<TfDirect>("tbDirect", TToolWindow::DirectCommand);
  ASSERT_TRUE(w);
  auto* child = qobject_cast<QMdiSubWindow*>(w->parentWidget());
  ASSERT_TRUE(child);
  EXPECT_TRUE(child->isMaximized());
  EXPECT_TRUE(child->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(w->findChild<QLabel*>("pDirect")->text(), "Gate 1");

  auto* edCmd = w->findChild<QLineEdit*>("edCmd");
  edCmd->setText("type system\\none.dat");
  QTest::keyClick(edCmd, Qt::Key_Return);
  EXPECT_EQ(Results(w), Strings{"FILE NOT FOUND ?* "});
  EXPECT_EQ(edCmd->text(), "");
  QTest::keyClick(edCmd, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(edCmd->text(), "type system\\none.dat");
  EXPECT_EQ(edCmd->cursorPosition(), edCmd->text().size());

  // Saved with ".txt" added to a name in capitals, lines ending CR LF.
  w->SaveDialog = [this] { return std::optional<QString>(QString::fromStdString(dir.Path() + "OUT.TXT")); };
  w->PSaveClick();
  EXPECT_EQ(dir.Read("OUT.TXT.txt"), "FILE NOT FOUND ?* \r\n");

  // An error keeps the text in the box and adds it to the list.
  dm->Settings.SetCurAddr("9");
  edCmd->setText("getver");
  QTest::keyClick(edCmd, Qt::Key_Return);
  EXPECT_EQ(Results(w), Strings{"getver"});
  EXPECT_EQ(edCmd->text(), "getver");
  EXPECT_EQ(ui.Texts("error").size(), 1u);
}

TEST_F(ToolsWindowTest, SystemInformationFromTheAboutBox) {
  main->SelectTerminal("Gate 1 [127.0.0.1@1]");
  TfSysInfo info(*dm);
  info.DiskSpace = [](const std::string&) { return TDiskSpace{5368709120ull, 5368709120ull}; };
  info.FormShow();
  EXPECT_EQ(info.windowTitle(), "System Information");
  EXPECT_EQ(info.Value(0).toStdString(), dm->ProgramFolder());
  EXPECT_EQ(info.Value(1), "5120.00 ");
  EXPECT_EQ(info.Value(3), "127.0.0.1@1");
  EXPECT_EQ(info.Value(4), "0 ");
  EXPECT_EQ(info.Value(7), "0 ");

  // The About box's Sys Info shows it modally.
  main->AboutClick();
  QPushButton* sysInfo = nullptr;
  for (auto* b : main->findChildren<QPushButton*>("bbSysInfo")) sysInfo = b;
  ASSERT_TRUE(sysInfo);
  // Closed as soon as it shows its last value.
  QString shown;
  QTimer poll;
  int ticks = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* modal = qobject_cast<TfSysInfo*>(QApplication::activeModalWidget());
    if (modal && (!modal->Value(8).isEmpty() || ++ticks > 500)) {
      shown = modal->Value(3);
      modal->accept();
    }
  });
  poll.start(10);
  sysInfo->click();
  EXPECT_EQ(shown, "127.0.0.1@1");
}

}  // namespace
}  // namespace korvo
