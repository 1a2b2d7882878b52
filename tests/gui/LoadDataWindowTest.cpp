// The Load Data window against two simulated network terminals on loopback, on virtual time: the
// download and its lists, an abort, the error box, the immediate loading's countdown and what the
// window keeps of "To All Korvo2K".
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "collect/ui/LoadData.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using korvosim::ReplyOverride;

const ReplyOverride kCountNoNumber{.match = "DIR TRANS",
                                   .kind = ReplyOverride::Kind::Text,
                                   .text = "TRANS 9 Bytes Used\r\n241224.DAT two NEW\r\n*"};
const std::string kNoNumberError = "'two' is not a valid integer value.";

// Terminals 127.0.0.1@1 ("Gate 1", current after the start) and 127.0.0.1@2 with two records each.
class LoadDataWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    test::UseLoopbackNetwork(*dm, clock);
    for (const std::string n : {"1", "2"}) {
      auto t = std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = n});
      t->setFile("TRANS\\241224.DAT", {korvosim::transactionLine("000408173", 15, 30, 1, 'I', "00"),
                                       korvosim::transactionLine("000408174", 15, 31, 2, 'O', "00")});
      terminals.push_back(t);
      ports.push_back(tcp.add(t));
      AddTerminal("127.0.0.1@" + n, "00" + n, "Gate " + n, ports.back());
    }
  }
  void TearDown() override {
    ui.OnProcessMessages = nullptr;
    TGuiFixture::TearDown();
  }
  TfLoadData* Start() {
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    main->show();
    EXPECT_TRUE(main->FormCreate());
    main->FormActivate();
    if (!dm->Settings.ImmediateLoading()) Find<QAction>("tbLoad")->trigger();
    return w = main->ToolWindows().As<TfLoadData>(TToolWindow::LoadData);
  }
  template <class T>
  T* In(const char* name) {
    return w->findChild<T*>(name);
  }
  Strings Status() {
    Strings lines;
    auto* list = In<QListWidget>("lbStatus");
    for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
    return lines;
  }
  int Rows() {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT * FROM tActivities");
    q.Open();
    return q.RecordCount();
  }
  int Count(const std::string& message) {
    auto log = LogMessages();
    return static_cast<int>(std::count(log.begin(), log.end(), message));
  }
  bool ButtonsEnabled() {
    return In<QPushButton>("bbLoad")->isEnabled() && In<QPushButton>("bbClose")->isEnabled();
  }
  bool ProgramEnded() {
    QApplication::processEvents();
    return !main->isVisible() && Count("Exit from KORVO2K/Bio UTILITY.") == 1;
  }
  void Load(bool all) {
    In<QCheckBox>("cbAll")->setChecked(all);
    In<QPushButton>("bbLoad")->click();
  }
  void CountDown(bool failing);

  korvosim::TcpFront tcp;
  std::vector<std::shared_ptr<korvosim::Terminal>> terminals;
  std::vector<int> ports;
  QPointer<TfLoadData> w;
};

TEST_F(LoadDataWindowTest, TheDataListKeepsItsLast30001Lines) {
  w = new TfLoadData(*dm, {});
  for (int i = 0; i < 30002; ++i) w->AddDataLine("line " + std::to_string(i));
  auto* lbData = In<QListWidget>("lbData");
  ASSERT_EQ(lbData->count(), 30001);
  EXPECT_EQ(lbData->item(0)->text(), "line 1");
  EXPECT_EQ(lbData->item(30000)->text(), "line 30001");
  delete w;
}

TEST_F(LoadDataWindowTest, LoadFillsTheListsAndGivesTheButtonsBack) {
  Start();
  EXPECT_EQ(w->windowTitle(), "Load Data");
  EXPECT_EQ(In<QLabel>("pLoadData")->text(), "Gate 1");
  bool disabledDuringJob = true;
  ui.OnProcessMessages = [&] { disabledDuringJob = disabledDuringJob && !ButtonsEnabled(); };
  Load(false);
  EXPECT_TRUE(disabledDuringJob);
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_EQ(Status(), (Strings{"Start Loading.....", "Loading From: 127.0.0.1@1.",
                               "List File Transaction..........", "Loading From File : 241224.DAT.",
                               "Transferring from 127.0.0.1@1 : 2 Record(s).", "End Loading.....", ""}));
  EXPECT_EQ(In<QListWidget>("lbData")->item(1)->text(), "000408174241224153102O0000");
  EXPECT_EQ(Rows(), 2);
  Load(true);
  EXPECT_EQ(In<QListWidget>("lbData")->count(), 6);
  EXPECT_EQ(Rows(), 6) << "the current terminal again and the other one";
  EXPECT_TRUE(ui.Texts("error").empty());
  EXPECT_TRUE(main->isVisible());
}

TEST_F(LoadDataWindowTest, AbortBetweenTerminalsLeavesTheSecondAlone) {
  Start();
  // While the first terminal's last record is stored.
  ui.OnProcessMessages = [&] {
    if (In<QListWidget>("lbData")->count() == 1 && !w->AbortFlag()) In<QPushButton>("bbIgnore")->click();
  };
  Load(true);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(tcp.accepted(ports[1]), 0) << "the second terminal was never asked";
  const Strings status = Status();
  EXPECT_EQ(Strings(status.end() - 2, status.end()), (Strings{"Abort by User......", ""}));
  EXPECT_EQ(Count("Abort by User......"), 1);
  EXPECT_FALSE(w->AbortFlag());
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_TRUE(main->ImmediateLoadAborted());
}

TEST_F(LoadDataWindowTest, AnErrorEndsTheJobInABoxTitledLoadData) {
  terminals[0]->addReplyOverride(kCountNoNumber);
  Start();
  Load(false);
  EXPECT_EQ(ui.Texts("error"), Strings{kNoNumberError});
  EXPECT_EQ(ui.errorCaptions, Strings{"Load Data"});
  EXPECT_EQ(Count("Load Data : " + kNoNumberError), 1);
  EXPECT_TRUE(ButtonsEnabled());
  EXPECT_TRUE(main->isVisible());
}

// Five beeps a second apart, then every terminal, no box, and the end of the program.
void LoadDataWindowTest::CountDown(bool failing) {
  if (failing) terminals[0]->addReplyOverride(kCountNoNumber);
  dm->Settings.SetImmediateLoading(true);
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(Count("Immediate Data Loading."), 1);
  EXPECT_TRUE(Find<QAction>("tbLoad")->isChecked());
  EXPECT_FALSE(ButtonsEnabled());
  auto* timer = w->findChild<QTimer*>("Timer");
  EXPECT_TRUE(timer->isActive() && timer->interval() == 1000);
  for (int tick = 1; tick <= 4; ++tick) w->TimerTimer();
  EXPECT_EQ(ui.Texts("beep").size(), 4u);
  EXPECT_EQ(tcp.accepted(ports[0]), 0);
  w->TimerTimer();
  EXPECT_EQ(ui.Texts("beep").size(), 5u);
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(Rows(), failing ? 0 : 4) << "every terminal, though cbAll is clear";
  EXPECT_TRUE(ui.Texts("error").empty());
  EXPECT_EQ(Count("Load Data : " + kNoNumberError), failing ? 1 : 0);
  EXPECT_TRUE(ProgramEnded());
}
TEST_F(LoadDataWindowTest, ImmediateLoadingCountsDownThenLoadsAndEndsTheProgram) {
  CountDown(false);
}
TEST_F(LoadDataWindowTest, ImmediateLoadingThatFailsEndsTheProgramWithoutABox) {
  CountDown(true);
}

TEST_F(LoadDataWindowTest, AnAbortedCountdownShowsTheLoginAndAManualLoadDoesNotEndTheProgram) {
  AddLogin("Ann", "rose");
  dm->Settings.SetImmediateLoading(true);
  Start();
  w->TimerTimer();
  In<QPushButton>("bbIgnore")->click();
  QString shown;
  QTimer::singleShot(0, [&] {
    auto* login = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(login, nullptr);
    shown = login->windowTitle();
    login->findChild<QLineEdit*>("edName")->setText("Ann");
    login->findChild<QLineEdit*>("edPass")->setText("rose");
    login->findChild<QPushButton*>("bbOK")->click();
  });
  w->TimerTimer();
  EXPECT_EQ(shown, "Login");
  EXPECT_EQ(ui.Texts("beep").size(), 1u);
  EXPECT_FALSE(w->findChild<QTimer*>("Timer")->isActive());
  FlushDeletes();
  ASSERT_FALSE(w.isNull());
  EXPECT_TRUE(w->isVisible() && ButtonsEnabled());
  EXPECT_EQ(tcp.accepted(ports[0]), 0);

  Load(false);
  EXPECT_EQ(Rows(), 2) << "the current terminal only, as cbAll says";
  EXPECT_FALSE(ProgramEnded());
}

TEST_F(LoadDataWindowTest, ToAllKorvo2KIsKeptInMemoryOnly) {
  const std::string cfg = dir.Read("UPLOAD.CFG");
  Start();
  EXPECT_FALSE(In<QCheckBox>("cbAll")->isChecked());
  In<QCheckBox>("cbAll")->setChecked(true);
  In<QPushButton>("bbClose")->click();
  FlushDeletes();
  EXPECT_TRUE(w.isNull());
  EXPECT_FALSE(Find<QAction>("tbLoad")->isChecked());
  EXPECT_TRUE(dm->SysParam.LoadAllTerminal);
  // Reopened it shows the choice, and a download's fresh read of the file does not undo it.
  Find<QAction>("tbLoad")->trigger();
  w = main->ToolWindows().As<TfLoadData>(TToolWindow::LoadData);
  EXPECT_TRUE(In<QCheckBox>("cbAll")->isChecked());
  In<QPushButton>("bbLoad")->click();
  EXPECT_EQ(Rows(), 4);
  EXPECT_TRUE(dm->SysParam.LoadAllTerminal);
  EXPECT_EQ(dir.Read("UPLOAD.CFG"), cfg);
}

TEST_F(LoadDataWindowTest, OnlyBecomingTheActiveChildWindowIsAnActivation) {
  Start();
  TToolWindowEntry other;
  other.id = TToolWindow::DirectCommand;
  other.buttonName = "tbOther";
  other.factory = [] { return new QLabel("other"); };
  main->AddToolWindow(other);
  QMdiArea* area = main->MdiArea();
  QMdiSubWindow* ours = area->activeSubWindow();
  ASSERT_EQ(ours->widget(), w);
  dm->SysParam.LoadAllTerminal = true;
  const struct {
    bool viaOther;  // another child window was active between; otherwise none (the frame lost the focus)
    bool activated;
  } cases[] = {{false, false}, {true, true}, {false, false}};
  for (const auto& c : cases) {
    In<QCheckBox>("cbAll")->setChecked(false);
    w->TimerTimer();
    if (c.viaOther) Find<QAction>("tbOther")->trigger();
    area->setActiveSubWindow(nullptr);
    area->setActiveSubWindow(ours);
    EXPECT_EQ(In<QCheckBox>("cbAll")->isChecked(), c.activated);
    EXPECT_EQ(w->CountDown(), c.activated ? 5 : 4);
    if (c.viaOther) Find<QAction>("tbOther")->trigger();
  }
}

}  // namespace
}  // namespace korvo
