#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QStatusBar>

#include "support/FakeSerialLine.h"
#include "support/ScriptedModem.h"
#include "link/ui/SplashModem.h"
#include "main/ui/QtOperatorUi.h"
#include "support/VirtualClock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

TfSplashModem* ModemWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<TfSplashModem*>(w); m && m->isVisible()) return m;
  return nullptr;
}

void FlushDeletes() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(SplashModem, ShowsTheCallAndClosingFreesIt) {
  TQtOperatorUi ui;
  int pressed = 0;
  ui.ShowModemWindow("5551234", "9600", [&] { ++pressed; });
  TfSplashModem* window = ModemWindow();
  ASSERT_NE(window, nullptr);
  QPointer<TfSplashModem> alive = window;
  EXPECT_EQ(window->windowTitle(), "Modem");
  EXPECT_FALSE(window->isModal());
  EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
  Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
  EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint));
  EXPECT_EQ(window->findChild<QLabel*>("lProses")->text(), "Dialing to 5551234");
  ASSERT_NE(window->findChild<QStatusBar*>("sbModem"), nullptr);
  EXPECT_EQ(window->PanelText(0), "Connection Speed : 9600 bps");
  EXPECT_EQ(window->findChild<QStatusBar*>("sbModem")->findChild<QLabel*>("sbModemPanel0")->text(),
            "Connection Speed : 9600 bps");
  auto* button = window->findChild<QPushButton*>("bbDisconnect");
  EXPECT_EQ(button->text(), "   D i s c o n n e c t");

  ui.SetModemCountDown("42");
  EXPECT_EQ(window->findChild<QLabel*>("lCountDown")->text(), "42");
  button->click();
  button->click();
  EXPECT_EQ(pressed, 1) << "the hang-up runs once";

  ui.CloseModemWindow();
  FlushDeletes();
  EXPECT_TRUE(alive.isNull());
  ui.SetModemCountDown("41");  // nothing to update any more
}

// The operator hooks of the Qt application for the modem window; message boxes are recorded.
class TModemWindowUi : public test::TRecordingUi {
 public:
  void ProcessMessages() override {
    TRecordingUi::ProcessMessages();
    qt.ProcessMessages();
  }
  void ShowModemWindow(const std::string& number, const std::string& rate,
                       std::function<void()> cb) override {
    qt.ShowModemWindow(number, rate, std::move(cb));
  }
  void SetModemCountDown(const std::string& text) override { qt.SetModemCountDown(text); }
  void CloseModemWindow() override { qt.CloseModemWindow(); }
  TQtOperatorUi qt;
};

TEST(SplashModem, TheDisconnectButtonEndsDiallingWhileTheLoopRuns) {
  test::TTempFolder dir;
  TVirtualClock clock;
  TModemWindowUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = test::StartProgram(program);
  test::TFakeSerialLine line(clock);
  test::TScriptedModem modem(line);
  modem.dial = test::TDial::Silent;
  dm.QCCom.SetDeviceFactory(line.Factory());
  dm.ADOC.Execute(
      "INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES ('5551234-9600', '1', 'X', 3)");

  // Ten seconds into dialling the operator presses the button; the click waits in the event queue.
  QPointer<TfSplashModem> seen;
  QString countAtClick;
  bool clicked = false;
  clock.OnAdvance([&](std::int64_t now) {
    if (clicked || now < 10000) return;
    TfSplashModem* window = ModemWindow();
    if (!window) return;
    clicked = true;
    seen = window;
    countAtClick = window->findChild<QLabel*>("lCountDown")->text();
    QMetaObject::invokeMethod(window->findChild<QPushButton*>("bbDisconnect"), "click", Qt::QueuedConnection);
  });
  EXPECT_TRUE(dm.DialTerminal("5551234-9600"));
  EXPECT_TRUE(clicked);
  EXPECT_EQ(dm.Link.ModemLinkState, "Disconnect");
  EXPECT_FALSE(line.IsOpen());
  EXPECT_LT(clock.ElapsedMs(), 10000 + 1000 + 2 * 100 * 20 + 1000 + 1)
      << "about a second after the button's hang-up";
  FlushDeletes();
  EXPECT_TRUE(seen.isNull()) << "the window closed and freed itself";
  EXPECT_FALSE(countAtClick.isEmpty());
  program.ShutDown();
}

}  // namespace
}  // namespace korvo
