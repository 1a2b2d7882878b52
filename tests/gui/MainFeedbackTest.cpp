// The main window while terminals are talked to: a click refused during a job, Enter and Space on
// the tree, the current terminal in the status bar, the conversation text and the wait cursor, the
// keys of the frame and the start-up notices about the database.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>

#include "GuiFixture.h"
#include "main/ui/Login.h"
#include "main/ui/QtOperatorUi.h"
#include "main/ui/SplashAbout.h"
#include "main/ui/ToolForm.h"
#include "store/SettingsRecord.h"
#include "support/LogMessages.h"

namespace korvo {
namespace {

class MainFeedbackTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    AddTerminal("1", "1", "Gate A");
    AddTerminal("2", "2", "Gate B");
    replies["1"] = "KORVO2K";
    replies["2"] = "KORVO2K";
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
  }
  QTreeWidget* Tree() { return Find<QTreeWidget>("tvMachine"); }
  QTreeWidgetItem* Item(int row) { return Tree()->topLevelItem(row); }
  void Click(QTreeWidgetItem* item) {
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(item).center());
  }
  QString Panel0() { return Find<QLabel>("StatusPanel0")->text(); }
};

TEST_F(MainFeedbackTest, AClickDuringAJobSendsNothingBeepsAndKeepsTheCurrentTerminal) {
  EXPECT_EQ(Panel0(), "Gate A [1]") << "the first terminal is shown from the start";
  Click(Item(0));
  ASSERT_EQ(sent, std::vector<std::string>{"1:GETVER"});
  ASSERT_EQ(Tree()->currentItem(), Item(0));

  {
    TJobs::TGuard download = dm->Jobs.Start("Load Data");
    Click(Item(1));
  }
  EXPECT_EQ(sent, std::vector<std::string>{"1:GETVER"});
  EXPECT_EQ(ui.Texts("beep").size(), 1u);
  EXPECT_EQ(dm->Settings.CurAddr(), "1");
  EXPECT_EQ(dm->Settings.SelectedAddr(), "1");
  EXPECT_EQ(Tree()->currentItem(), Item(0)) << "the highlight went back to the current terminal";
  EXPECT_EQ(Panel0(), "Gate A [1]");

  // A click let through by a running conversation (its pending window messages) is refused too.
  main->SetTerminalLink({[this](const std::string& address, const std::string& command) {
                           sent.push_back(address + ":" + command);
                           if (address == "2") Click(Item(0));
                           return std::string("KORVO2K");
                         },
                         [](const std::string&) { return false; }});
  sent.clear();
  Click(Item(1));
  EXPECT_EQ(sent, std::vector<std::string>{"2:GETVER"});
  EXPECT_EQ(ui.Texts("beep").size(), 2u);
  EXPECT_EQ(dm->Settings.CurAddr(), "2");
  EXPECT_EQ(Tree()->currentItem(), Item(1));
  EXPECT_EQ(Panel0(), "Gate B [2]");
  EXPECT_FALSE(dm->Jobs.Busy());
}

TEST_F(MainFeedbackTest, EnterAndSpaceOnANodeActAsAClick) {
  const struct {
    Qt::Key key;
    int row;
    const char* panel;
  } cases[] = {
      {Qt::Key_Return, 1, "Gate B [2]"}, {Qt::Key_Space, 0, "Gate A [1]"}, {Qt::Key_Enter, 1, "Gate B [2]"}};
  for (const auto& c : cases) {
    sent.clear();
    Tree()->setCurrentItem(Item(c.row));
    EXPECT_TRUE(sent.empty()) << "moving the highlight alone sends nothing";
    QTest::keyClick(Tree(), c.key);
    EXPECT_EQ(sent, std::vector<std::string>{std::to_string(c.row + 1) + ":GETVER"}) << c.key;
    EXPECT_EQ(Panel0(), c.panel);
  }
  // A terminal that does not answer leaves the last one that did in the panel.
  replies["1"] = "--";
  Tree()->setCurrentItem(Item(0));
  QTest::keyClick(Tree(), Qt::Key_Space);
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{"Can't access to Gate A"});
  EXPECT_EQ(Panel0(), "Gate B [2]");
}

TEST_F(MainFeedbackTest, AConversationShowsItsTextAndTheWaitCursorAndGivesThemBack) {
  TQtOperatorUi qt;
  qt.SetFrame(main.get());
  QStatusBar* bar = Find<QStatusBar>("StatusBar");
  qt.TalkStarted("Gate A [1]");
  EXPECT_EQ(bar->currentMessage(), QString("Talking to Gate A [1]") + QChar(0x2026));
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  qt.TalkEnded();
  EXPECT_TRUE(bar->currentMessage().isEmpty());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Panel0(), "Gate A [1]");
  qt.TalkEnded();  // one end too many takes no cursor of somebody else
  QApplication::setOverrideCursor(Qt::BusyCursor);
  qt.TalkEnded();
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  QApplication::restoreOverrideCursor();
}

TEST_F(MainFeedbackTest, MessageBoxesStandOverTheDialogInFront) {
  TQtOperatorUi qt;
  qt.SetFrame(main.get());
  TfLogin login(*dm, {});
  login.setWindowModality(Qt::ApplicationModal);
  login.show();
  EXPECT_EQ(qt.BoxParent(), &login);
  login.hide();
  main->hide();
  EXPECT_NE(qt.BoxParent(), main.get()) << "never over a hidden main window";
}

TEST_F(MainFeedbackTest, TheTreeShowsALongLabelWholeAndTheKeysQuitAndShowTheAboutBox) {
  AddTerminal("192.168.100.200", "3", "Warehouse North");
  main->BuildTerminalTree();
  QApplication::processEvents();
  QTreeWidget* tree = Tree();
  EXPECT_LE(tree->header()->sectionSizeHint(0), tree->viewport()->width());
  EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);

  main->activateWindow();
  QApplication::setActiveWindow(main.get());
  QTest::keyClick(main.get(), Qt::Key_F1);
  auto children = main->MdiArea()->subWindowList();
  ASSERT_EQ(children.size(), 1);
  EXPECT_NE(qobject_cast<TfSplash*>(children.front()->widget()), nullptr);
  EXPECT_FALSE(children.front()->windowFlags() &
               (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(children.front()->windowFlags() & Qt::WindowCloseButtonHint);

  QTest::keyClick(main.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(main->isVisible());
  auto log = LogMessages();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Exit from KORVO2K/Bio UTILITY."), 1);
}

TEST_F(MainFeedbackTest, AToolJobShowsItsErrorAndASecondStartIsIgnored) {
  TToolForm form(*dm);
  int inner = 0;
  bool ran = form.RunJob("Outer", [&] {
    EXPECT_TRUE(form.JobRunning());
    EXPECT_FALSE(form.MayReadTerminal()) << "timers skip their terminal reads";
    EXPECT_FALSE(form.RunJob("Inner", [&] { ++inner; }));
    throw std::runtime_error("disk I/O error");
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(inner, 0);
  EXPECT_EQ(ui.Texts("error"), std::vector<std::string>{"disk I/O error"});
  EXPECT_FALSE(dm->Jobs.Busy());
  EXPECT_TRUE(form.MayReadTerminal());
  TJobs::TGuard other = dm->Jobs.Start("Load Data");
  EXPECT_FALSE(form.RunJob("Mine", [&] { ++inner; })) << "another window's job is running";
  EXPECT_EQ(inner, 0);
}

// Start-up with a database that was missing or cannot be read.
class DatabaseNoticeTest : public ::testing::Test {
 protected:
  TfMain& Start(bool passwordRequired) {
    dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
    program = std::make_unique<TProgram>(dir.Path(), clock, ui);
    program->LoadSettings();
    program->Settings.SetPasswordRequired(passwordRequired);
    program->CreateDataModule();
    main = std::make_unique<TfMain>(*program, *program->DM());
    main->SetSplashDuration(0);
    // A login dialog that should not have come is sent away instead of waiting for ever.
    QTimer::singleShot(3000, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    return *main;
  }
  void TearDown() override {
    main.reset();
    program.reset();
  }
  std::string Path() { return program->DM()->DatabasePath(); }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  test::TTempFolder dir;
  TVirtualClock clock;
  test::TRecordingUi ui;
  std::unique_ptr<TProgram> program;
  std::unique_ptr<TfMain> main;
};

TEST_F(DatabaseNoticeTest, ANewDatabaseIsAnnouncedOnceWithTheInitialPassword) {
  TfMain& m = Start(false);
  ASSERT_TRUE(program->DM()->DatabaseCreated());
  ASSERT_TRUE(m.FormCreate());
  ASSERT_TRUE(m.FormCreate());
  auto info = ui.Texts("information");
  ASSERT_EQ(info.size(), 1u);
  EXPECT_TRUE(Has(info[0], Path()) && Has(info[0], "new and empty") && Has(info[0], "\"admin\"")) << info[0];
  EXPECT_TRUE(ui.Texts("error").empty());
}

TEST_F(DatabaseNoticeTest, AnUnreadableDatabaseIsNamedAndWithLoginsRequiredTheProgramEnds) {
  dir.Write("Korvoweb.mdb", std::string(2048, 'x'));
  const struct {
    bool passwordRequired;
    std::size_t errors;
    bool starts;
  } cases[] = {{false, 1, true}, {true, 2, false}};
  for (const auto& c : cases) {
    ui.calls.clear();
    TfMain& m = Start(c.passwordRequired);
    EXPECT_FALSE(program->DM()->DatabaseCreated());
    EXPECT_EQ(m.FormCreate(), c.starts);
    auto errors = ui.Texts("error");
    ASSERT_EQ(errors.size(), c.errors);
    for (const auto& e : errors) EXPECT_TRUE(Has(e, Path())) << e;
    if (!c.starts) {
      EXPECT_TRUE(Has(errors.back(), "cannot be read")) << errors.back();
      m.close();
      m.close();
      auto log = test::LogMessages(dir.Read(program->Log.CurrentPath().substr(dir.Path().size())));
      EXPECT_EQ(std::count(log.begin(), log.end(), "Exit from KORVO2K/Bio UTILITY."), 1);
    }
    EXPECT_TRUE(ui.Texts("information").empty());
    TearDown();
  }
}

}  // namespace
}  // namespace korvo
