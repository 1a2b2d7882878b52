// The Time & Date window over scripted terminals on a fake serial line, in virtual time: opening,
// Enter in the terminal's clock, the half-minute refresh and the start-up synchronisation.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "GuiFixture.h"
#include "config/ui/DateTime.h"
#include "store/SettingsRecord.h"
#include "support/PortTerminals.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using test::LocalTime;

class DateTimeWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    dm->QCCom.SetDeviceFactory(line.Factory());
    clock.SetWallClock(LocalTime(2024, 1, 31, 14, 25, 30));
    AddClockTerminal(1, "Gate A", "202401313142530");
    AddClockTerminal(2, "Gate B", "202401313142531");
    AddClockTerminal(3, "Gate C", "202401313142532");
  }
  // Terminal n at address n on COM n; it answers "TIME" with its clock and takes a new one.
  void AddClockTerminal(int n, const std::string& location, const std::string& clockDigits) {
    AddTerminal(std::to_string(n), "00" + std::to_string(n), location, n);
    clocks[n] = clockDigits;
    replies[std::to_string(n)] = "KORVO2K/Bio Ver 2.00 OK\r";
    terminals.answer[n] = [this, n](const std::string& l) -> std::string {
      if (l == "TIME") return clocks[n] + "\r\n";
      if (l.rfind("TIME ", 0) != 0) return "? FAIL\r\n";
      clocks[n] = l.substr(5);
      return "OK\r\n";
    };
  }
  TfDateTime* Open() {
    TfMain& m = NewMain();
    m.show();
    EXPECT_TRUE(m.FormCreate());
    Find<QAction>("tbTime")->trigger();
    return main->ToolWindows().As<TfDateTime>(TToolWindow::TimeDate);
  }
  template <class T>
  T* In(TfDateTime* w, const char* name) {
    return w->findChild<T*>(name);
  }

  test::TFakeSerialLine line{clock};
  test::TPortTerminals terminals{line};
  std::map<int, std::string> clocks;
};

TEST_F(DateTimeWindowTest, OpeningShowsTheCurrentTerminalAndBothClocks) {
  TfDateTime* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "Set DateTime ");
  EXPECT_EQ(In<QLabel>(w, "pLoc")->text(), "Gate A");
  EXPECT_EQ(In<QLineEdit>(w, "meMesin")->displayText(), "   2024-01-31, 14:25:30");
  EXPECT_EQ(w->MesinValue(), "20240131142530");
  EXPECT_EQ(In<QPushButton>(w, "bbSystem")->text(), "2024-01-31, 14:25:30");
  EXPECT_EQ(In<QPushButton>(w, "bbSystem")->toolTip(), "Click here to sending data");
  EXPECT_EQ(In<QPushButton>(w, "bbMesin")->toolTip(), "Click here to sending data");
  EXPECT_EQ(In<QCheckBox>(w, "cbAll")->text(), "To All Korvo2K");
  EXPECT_FALSE(In<QCheckBox>(w, "cbAll")->isChecked());
  EXPECT_EQ(In<QPushButton>(w, "bbClose")->text(), "  &Close");
  auto* timer = In<QTimer>(w, "Timer1");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 1000);
  EXPECT_TRUE(Find<QAction>("tbTime")->isChecked());
  EXPECT_EQ(terminals.lines, Strings{"1:TIME"});

  // A silent terminal: the placeholder, shown in the field's places.
  terminals.answer.erase(2);
  dm->Settings.SetCurAddr("2");
  w->ShowCurrentTerminal();
  EXPECT_EQ(w->MesinValue(), "??????????????");
  EXPECT_EQ(In<QLineEdit>(w, "meMesin")->displayText(), R"(   ????-??-??, ??:??:??)");

  In<QPushButton>(w, "bbClose")->click();
  FlushDeletes();
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::TimeDate));
  EXPECT_FALSE(Find<QAction>("tbTime")->isChecked());
}

TEST_F(DateTimeWindowTest, EnterSetsTheTypedTimeOnOneOrEveryTerminal) {
  const struct {
    bool all;
    std::string typed;
    Strings lines;
    std::string shown;  // meMesin afterwards
  } cases[] = {
      {false, "20240229101500", {"1:TIME 202402294101500", "1:TIME"}, "   2024-02-29, 10:15:00"},
      // No such day: nothing is sent, the clock is read back unchanged.
      {false, "20240230100000", {"1:TIME"}, "   2024-02-29, 10:15:00"},
      {true,
       "20231231235959",
       {"1:TIME 202312310235959", "2:TIME 202312310235959", "3:TIME 202312310235959", "3:TIME"},
       "   2023-12-31, 23:59:59"},
  };
  TfDateTime* w = Open();
  ASSERT_NE(w, nullptr);
  auto* edit = In<QLineEdit>(w, "meMesin");
  // The first value is typed over the placeholder of a clock that could not be read.
  w->ShowTerminalTime("??????????????");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    terminals.lines.clear();
    const auto logBefore = LogMessages().size();
    In<QCheckBox>(w, "cbAll")->setChecked(c.all);
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, QString::fromStdString(c.typed));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(terminals.lines, c.lines);
    EXPECT_EQ(edit->displayText().toStdString(), c.shown);
    EXPECT_EQ(In<QLabel>(w, "pLoc")->text(), "Gate A");
    const Strings log = LogMessages();
    EXPECT_EQ(log.size() - logBefore, c.all ? 3u : 1u) << "one line per terminal, also for a refused text";
    EXPECT_EQ(log.back(), "Set DateTime " + std::string(c.all ? "3" : "1") + " : " + c.typed + ".");
    EXPECT_FALSE(dm->Jobs.Busy());
  }
}

TEST_F(DateTimeWindowTest, TheTimerRereadsTwiceAMinuteOnlyWhenTheTerminalMayBeRead) {
  const struct {
    int second;
    bool otherJob;
    bool placeholder;
    bool reads;
  } cases[] = {
      {30, false, false, true}, {0, false, false, true},  {31, false, false, false},
      {30, true, false, false}, {30, false, true, false},
  };
  TfDateTime* w = Open();
  ASSERT_NE(w, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.second) + (c.otherJob ? " during a job" : "") +
                 (c.placeholder ? " placeholder" : ""));
    w->ShowTerminalTime(c.placeholder ? "??????????????" : "20240131142530");
    terminals.lines.clear();
    clock.SetWallClock(LocalTime(2024, 1, 31, 14, 26, c.second));
    TJobs::TGuard job;
    if (c.otherJob) job = dm->Jobs.Start("another job");
    w->Timer1Timer();
    EXPECT_EQ(In<QPushButton>(w, "bbSystem")->text().toStdString(),
              "2024-01-31, 14:26:" + std::string(c.second < 10 ? "0" : "") + std::to_string(c.second));
    EXPECT_EQ(terminals.lines, c.reads ? Strings{"1:TIME"} : Strings{});
  }
}

TEST_F(DateTimeWindowTest, ASwitchOfTerminalRereadsTheOpenWindow) {
  TfDateTime* w = Open();
  ASSERT_NE(w, nullptr);
  auto* tree = Find<QTreeWidget>("tvMachine");
  QTreeWidgetItem* item = tree->topLevelItem(1);
  ASSERT_EQ(item->text(0), "Gate B [2]");
  terminals.lines.clear();
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
  EXPECT_EQ(In<QLabel>(w, "pLoc")->text(), "Gate B");
  EXPECT_EQ(w->MesinValue(), "20240131142531");
  EXPECT_EQ(terminals.lines, Strings{"2:TIME"});
  EXPECT_FALSE(dm->Jobs.Busy());
}

TEST_F(DateTimeWindowTest, StartUpSynchronisesEveryTerminalWhenConfigured) {
  dm->SysParam.SynchronizeTime = true;
  ASSERT_TRUE(NewMain().FormCreate());
  EXPECT_EQ(terminals.lines,
            (Strings{"1:TIME 202401313142530", "2:TIME 202401313142530", "3:TIME 202401313142530"}));
  EXPECT_EQ(LogMessages(),
            (Strings{"Synchronize Time", "Set DateTime 1 : 2024-01-31, 14:25:30.",
                     "Set DateTime 2 : 2024-01-31, 14:25:30.", "Set DateTime 3 : 2024-01-31, 14:25:30."}));
  EXPECT_FALSE(dm->Jobs.Busy());
}

}  // namespace
}  // namespace korvo
