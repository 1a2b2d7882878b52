// A tool window's job walking many command lines to a slow terminal of the simulator, and the
// operator closing the window (toolbar, close box, its own close) or the main window in the middle
// of it. Real sockets on loopback, virtual time for the link's waits.
#include <gtest/gtest.h>

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>

#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/PingHost.h"
#include "link/SocketStream.h"
#include "main/ui/ToolForm.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

// What the test window did, kept apart from the window, which goes during the test.
struct TJobRecord {
  int lines = 0;
  int nestedStarts = 0;
  bool sawStop = false;
  int formCloses = 0;
};

// A tool window of this test only: its job sends one parameter read per line and lets window
// messages through between lines, as every long job does.
class TfWalker : public TToolForm {
 public:
  TfWalker(TDM& dm, TJobRecord& record) : TToolForm(dm), record_(record) { resize(240, 120); }
  void Walk(const std::string& address, int count) {
    RunJob("Walk", [&] {
      for (int i = 0; i < count; ++i) {
        if (StopRequested()) {
          record_.sawStop = true;
          return;
        }
        dm_.SendCommand(address, "PAR 7");
        ++record_.lines;
        // A second start from inside the job is ignored.
        if (RunJob("Again", [&] { ++record_.nestedStarts; })) ++record_.nestedStarts;
        QApplication::processEvents();
      }
    });
  }

 protected:
  void FormClose() override { ++record_.formCloses; }

 private:
  TJobRecord& record_;
};

class ToolJobSimTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    test::UseLoopbackNetwork(*dm, clock);
    int port = tcp.add(terminal);
    tcp.setFaults(port, korvosim::Faults{.delayMs = 30});  // every answer comes late
    AddTerminal("127.0.0.1", "1", "Hall", port);
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    TToolWindowEntry walker;
    walker.id = TToolWindow::DirectCommand;
    walker.buttonName = "tbWalker";
    walker.buttonText = "Walker";
    walker.menu = TMainMenu::Tools;
    walker.itemName = "miWalker";
    walker.itemText = "&Walker";
    walker.factory = [this] { return new TfWalker(*dm, record); };
    main->AddToolWindow(walker);
    main->show();
    ASSERT_TRUE(main->FormCreate());
  }
  void TearDown() override {
    main.reset();
    TMainFixture::TearDown();
  }
  TfWalker* Open() {
    main->findChild<QAction*>("tbWalker")->trigger();
    return static_cast<TfWalker*>(main->ToolWindows().Window(TToolWindow::DirectCommand));
  }
  static void FlushDeletes() {
    for (int i = 0; i < 3; ++i) QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  int Count(const std::string& message) {
    auto log = LogMessages();
    return static_cast<int>(std::count(log.begin(), log.end(), message));
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
  std::unique_ptr<TfMain> main;
  TJobRecord record;
};

enum class TCloseWay { Toggle, MenuItem, CloseBox, OwnClose };

TEST_F(ToolJobSimTest, ClosingAToolWindowDuringItsJobStopsTheJobAndDestroysTheWindowAfter) {
  const struct {
    TCloseWay way;
    const char* name;
  } cases[] = {{TCloseWay::Toggle, "toolbar"},
               {TCloseWay::MenuItem, "menu"},
               {TCloseWay::CloseBox, "close box"},
               {TCloseWay::OwnClose, "own close"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    record = {};
    auto before = tcp.transcript().commands();
    const auto sentBefore = std::count(before.begin(), before.end(), "PAR 7");
    QPointer<TfWalker> window = Open();
    ASSERT_FALSE(window.isNull());
    QPointer<QMdiSubWindow> child = main->MdiArea()->subWindowList().front();
    bool aliveAtClose = false, openAtClose = false, stopAskedAtClose = false;
    int linesAtClose = 0;
    QTimer::singleShot(150, main.get(), [&] {
      switch (c.way) {
        case TCloseWay::Toggle:
          main->findChild<QAction*>("tbWalker")->trigger();
          break;
        case TCloseWay::MenuItem:
          main->findChild<QAction*>("miWalker")->trigger();
          break;
        case TCloseWay::CloseBox:
          child->close();
          break;
        case TCloseWay::OwnClose:
          window->close();
          break;
      }
      aliveAtClose = !window.isNull() && window->isVisible();
      openAtClose = main->ToolWindows().IsOpen(TToolWindow::DirectCommand);
      stopAskedAtClose = dm->Jobs.StopRequested();
      linesAtClose = record.lines;
    });
    window->Walk("127.0.0.1", 400);

    EXPECT_TRUE(record.sawStop);
    EXPECT_GT(linesAtClose, 0) << "the close came during the job";
    EXPECT_LE(record.lines, linesAtClose + 1) << "the job stopped at its next abort point";
    EXPECT_EQ(record.nestedStarts, 0);
    EXPECT_TRUE(aliveAtClose && openAtClose && stopAskedAtClose) << "the window waited for its job";
    EXPECT_FALSE(dm->Jobs.Busy());
    EXPECT_EQ(record.formCloses, 1);
    EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::DirectCommand));
    EXPECT_FALSE(main->findChild<QAction*>("tbWalker")->isChecked());
    FlushDeletes();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(child.isNull());
    auto commands = tcp.transcript().commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "PAR 7") - sentBefore, record.lines);
  }
}

TEST_F(ToolJobSimTest, ATreeClickDuringTheJobIsRefusedAndTheMainWindowClosesAfterTheJob) {
  QPointer<TfWalker> window = Open();
  auto* tree = main->findChild<QTreeWidget*>("tvMachine");
  int exitLinesAtClose = -1;
  bool visibleAtClose = false;
  QTimer::singleShot(100, main.get(), [&] {
    QTreeWidgetItem* item = tree->topLevelItem(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  });
  QTimer::singleShot(200, main.get(), [&] {
    main->close();
    visibleAtClose = main->isVisible();
    exitLinesAtClose = Count("Exit from KORVO2K/Bio UTILITY.");
  });
  window->Walk("127.0.0.1", 400);

  EXPECT_TRUE(record.sawStop);
  EXPECT_EQ(ui.Texts("beep").size(), 1u);
  auto commands = tcp.transcript().commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "GETVER"), 0) << "the click sent nothing";
  EXPECT_TRUE(dm->Settings.SelectedAddr().empty());
  EXPECT_TRUE(visibleAtClose);
  EXPECT_EQ(exitLinesAtClose, 0) << "nothing of the exit is done under the job";
  QApplication::processEvents();
  EXPECT_FALSE(main->isVisible());
  main->close();
  EXPECT_EQ(Count("Exit from KORVO2K/Bio UTILITY."), 1);
  EXPECT_FALSE(window.isNull()) << "the tool window is the main window's to free";
}

}  // namespace
}  // namespace korvo
