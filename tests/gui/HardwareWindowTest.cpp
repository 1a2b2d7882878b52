// The Hardware Configuration window against terminals of the simulator on loopback: opening and
// switching terminals read the current one, the screen's rules follow the operator's clicks and
// picks, Send sends what the screen shows. Real sockets, virtual time for the link's waits.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "config/ParamCatalogue.h"
#include "config/ParamSend.h"
#include "config/ParamTable.h"
#include "config/ui/AddressGrid.h"
#include "config/ui/Configuration.h"
#include "link/PingHost.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

const std::string kLong = "Door open far 2 long";  // 20 characters: more than an operator may type

class HardwareWindowTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    ParamTable().Clear();
    test::UseLoopbackNetwork(*dm, clock);
    hall->setLogonCode("11");
    yard->setLogonCode("22");
    AddTerminal("127.0.0.1@11", "1", "Hall", tcp.add(hall));
    AddTerminal("127.0.0.1@22", "2", "Yard", tcp.add(yard));
  }
  void TearDown() override {
    ui.OnProcessMessages = nullptr;
    main.reset();
    TMainFixture::TearDown();
  }
  void StartMain() {
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    main->show();
    ASSERT_TRUE(main->FormCreate());  // Hall is current
  }
  // Opened through the toolbar, which reads the current terminal.
  TfHardware* Open() {
    main->findChild<QAction*>("tbHardware")->trigger();
    return main->ToolWindows().As<TfHardware>(TToolWindow::Hardware);
  }
  // The commands the terminals got, without the logons around them.
  std::vector<std::string> Commands() {
    std::vector<std::string> out;
    for (const auto& c : tcp.transcript().commands())
      if (c.rfind("SETLOGON", 0) != 0) out.push_back(c);
    return out;
  }
  int ParamReads() {
    auto c = Commands();
    return static_cast<int>(std::count_if(c.begin(), c.end(), [](const std::string& s) {
      return s.rfind("PAR ", 0) == 0 && s.find(' ', 4) == std::string::npos;
    }));
  }
  template <class T>
  T* In(QWidget* window, const std::string& name) {
    auto* w = window->findChild<T*>(QString::fromStdString(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // What a control shows, as text.
  QString Shown(QWidget* window, const std::string& name) {
    QWidget* w = In<QWidget>(window, name);
    if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* spin = qobject_cast<QSpinBox*>(w)) return QString::number(spin->value());
    if (auto* grid = qobject_cast<TAddressGrid*>(w)) return QString::fromStdString(grid->GetAddressGrid());
    if (auto* box = qobject_cast<QCheckBox*>(w)) return box->isChecked() ? "ticked" : "clear";
    return "?";
  }
  // The operator picks an entry of a list.
  static void Pick(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> hall = std::make_shared<korvosim::Terminal>();
  std::shared_ptr<korvosim::Terminal> yard = std::make_shared<korvosim::Terminal>();
  std::unique_ptr<TfMain> main;
};

TEST_F(HardwareWindowTest, OpeningAndSwitchingTerminalsReadTheCurrentOneWhole) {
  hall->setParam(3, "1");
  hall->setParam(309, "Open the Door!");
  hall->setParam(310, kLong);
  hall->setParam(201, "10.1.2.3");
  hall->setParam(313, "0730123018452200");
  hall->setSfmParam(102, "6");
  yard->setParam(309, "Yard gate");
  StartMain();
  auto* item = main->findChild<QAction*>("miConfiguration");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "&Configuration");
  EXPECT_TRUE(main->findChild<QMenu*>("miHardware")->actions().contains(item));

  TfHardware* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Hardware Configuration");
  EXPECT_EQ(ParamReads(), 55);
  auto commands = Commands();
  ASSERT_GE(commands.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(commands.end() - 6, commands.end()),
            (std::vector<std::string>{"GETVER", "SFMPAR 102", "SFMPAR 144", "SFMPAR 129", "SFMPAR 147",
                                      "SFMPAR 128"}));
  const std::vector<std::pair<std::string, QString>> shown = {
      {"cbTime", "HH:MM WW DD/MM"},
      {"edRexMsg", "Open the Door!"},
      {"edDO2Lmsg", QString::fromStdString(kLong)},  // not cut to what may be typed
      {"sgIP", "10.1.2.3"},
      {"meRD1", "07:30"},
      {"meRD4", "22:00"},
      {"cbSecurityLevel", "High"},
      {"seDO", "8000"},
      {"cbCW", "ticked"},
      {"pDirect", "Hall"},
  };
  for (const auto& [name, text] : shown) EXPECT_EQ(Shown(window, name), text) << name;
  EXPECT_TRUE(Shown(window, "lFirmware").startsWith("KORVO2K/Bio Ver 2.00"));
  EXPECT_EQ(In<QWidget>(window, "cbTime")->toolTip(), "PAR 3");
  EXPECT_EQ(In<TAddressGrid>(window, "sgIP")->item(0, 2)->text(), "1");
  EXPECT_TRUE(ui.Texts("warning").empty());

  // Another terminal that answers is read at once into the open window.
  auto* tree = main->findChild<QTreeWidget*>("tvMachine");
  QTreeWidgetItem* yardItem = tree->topLevelItem(0)->child(0);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(yardItem).center());
  EXPECT_EQ(dm->Settings.CurAddr(), "127.0.0.1@22");
  EXPECT_EQ(Shown(window, "edRexMsg"), "Yard gate");
  EXPECT_EQ(Shown(window, "pDirect"), "Yard");
}

TEST_F(HardwareWindowTest, SendSendsWhatThePageShowsAndRestarts) {
  hall->setParam(3, "2");
  hall->setParam(309, "Open the Door!");
  hall->setParam(310, kLong);
  StartMain();
  TfHardware* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Shown(window, "cbTime"), "HH:MM DD/MM/YY");
  EXPECT_EQ(Shown(window, "edRexMsg"), "Open the Door!");

  // The operator changes a message on the Inputs page and sends that page.
  In<QLineEdit>(window, "edFDMsg")->setText("Forced!");
  In<QTabWidget>(window, "pcHardware")->setCurrentIndex(2);
  tcp.transcript().clear();
  In<QPushButton>(window, "sbSend")->click();

  std::vector<std::string> expected = {"SFMPAR 102 5", "SFMPAR 144 0", "SFMPAR 147 6", "SFMPAR 129 1",
                                       "SFMPAR 128 7"};
  for (int n : PageNumbers(2))
    expected.push_back("PAR " + std::to_string(n) + " " + (n == 311 ? "Forced!" : hall->param(n)));
  expected.push_back("RESTART");
  EXPECT_EQ(Commands(), expected);
  EXPECT_NE(std::find(expected.begin(), expected.end(), "PAR 309 Open the Door!"), expected.end());
  EXPECT_EQ(hall->param(310), kLong) << "a long value goes back whole";
  EXPECT_EQ(hall->param(311), "Forced!");
  EXPECT_EQ(hall->restarts(), 1);
  auto* meter = In<QProgressBar>(window, "vmHardware");
  EXPECT_EQ(meter->maximum(), 1);
  EXPECT_EQ(meter->value(), 1);
}

TEST_F(HardwareWindowTest, SendIsRefusedUntilTheScreenHoldsValuesToSend) {
  dm->Settings.SetCurAddr("127.0.0.1@11");
  TfHardware window(*dm);
  window.show();
  // The screen's pages, lists and buttons as the catalogue and the screen give them.
  auto* pages = In<QTabWidget>(&window, "pcHardware");
  QStringList captions;
  for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
  EXPECT_EQ(captions, (QStringList{"Communication", "LCD", "Inputs", "OutPuts", "Other"}));
  auto* authentication = In<QComboBox>(&window, "cbAuthentication");
  ASSERT_EQ(authentication->count(), 4);
  EXPECT_EQ(authentication->itemText(2), "Verification & Identification");
  EXPECT_EQ(In<QPushButton>(&window, "sbSend")->text(), "   &Send");
  EXPECT_EQ(In<QCheckBox>(&window, "cbAllTerm")->text(), "To All Korvo2K");
  EXPECT_EQ(In<QLabel>(&window, "lTime")->text(), "Time & Date :");
  EXPECT_EQ(In<QSpinBox>(&window, "seDur")->maximum(), 1000000);
  for (const char* hidden : {"cbDate", "seBioDelay", "gbDoor", "gbTransLog"})
    EXPECT_TRUE(In<QWidget>(&window, hidden)->isHidden()) << hidden;

  In<QPushButton>(&window, "sbSend")->click();
  EXPECT_EQ(ui.Texts("warning"), std::vector<std::string>{kSendRefused});
  EXPECT_TRUE(tcp.transcript().commands().empty()) << "nothing reached the terminal";

  In<QPushButton>(&window, "sbDefault")->click();
  EXPECT_EQ(Shown(&window, "edRexMsg"), "Open the Door!");
  EXPECT_EQ(Shown(&window, "lFirmware"), "Not Available");
  In<QPushButton>(&window, "sbSend")->click();
  EXPECT_EQ(ui.Texts("warning").size(), 1u);
  EXPECT_EQ(Commands().back(), "RESTART");
  EXPECT_EQ(hall->param(201), "192.168.1.207");
}

TEST_F(HardwareWindowTest, TheScreensRulesFollowTheOperator) {
  hall->setParam(211, "3");  // Access Granted, Not In Axgroup
  hall->setParam(212, "8");  // Forced Door
  hall->setParam(209, "300");
  hall->setParam(31, "2");
  StartMain();
  TfHardware* w = Open();
  ASSERT_NE(w, nullptr);
  auto enabled = [&](const std::string& name) { return In<QWidget>(w, name)->isEnabled(); };
  auto hidden = [&](const std::string& name) { return In<QWidget>(w, name)->isHidden(); };

  // Online mode: the host fields (and the hidden delay) follow the pick.
  EXPECT_FALSE(enabled("sgHost"));
  Pick(In<QComboBox>(w, "cbOnline"), 1);
  EXPECT_TRUE(enabled("sgHost") && enabled("seOnline") && enabled("seBioDelay"));
  Pick(In<QComboBox>(w, "cbOnline"), 0);
  EXPECT_FALSE(enabled("sgHost") || enabled("seOnline") || enabled("seBioDelay"));

  // Reverse direction: the four times follow the box.
  EXPECT_FALSE(enabled("meRD1"));
  In<QCheckBox>(w, "cbRevDir")->click();
  for (const auto& name : ReverseTimeControls) EXPECT_TRUE(enabled(name)) << name;

  // Idle display: the user string and the two other lists take turns.
  Pick(In<QComboBox>(w, "cbIdle3"), 0);
  EXPECT_TRUE(!enabled("edIdle") && enabled("cbIdle") && enabled("cbIdle2"));
  Pick(In<QComboBox>(w, "cbIdle3"), 1);
  EXPECT_TRUE(enabled("edIdle") && !enabled("cbIdle") && !enabled("cbIdle2"));

  // COM1 hides the COM0 lists and shows its own baud rate.
  In<QRadioButton>(w, "rgSerial1")->click();
  EXPECT_TRUE(hidden("cbMode1") && hidden("Label20") && hidden("cbMode3"));
  EXPECT_EQ(Shown(w, "cbBaud"), "115200");
  EXPECT_EQ(In<QWidget>(w, "cbBaud")->toolTip(), "PAR 31");

  // Relays: an unsent change is dropped by switching; each relay shows its stored mask.
  EXPECT_EQ(Shown(w, "cb1") + Shown(w, "cb2") + Shown(w, "cb8"), "tickedtickedclear");
  EXPECT_FALSE(hidden("Label9") || hidden("cbb24"));
  EXPECT_EQ(Shown(w, "seDur"), "300");
  In<QCheckBox>(w, "cb4")->click();
  In<QRadioButton>(w, "rgRelay1")->click();
  EXPECT_EQ(Shown(w, "cb1") + Shown(w, "cb4") + Shown(w, "cb8"), "clearclearticked");
  EXPECT_TRUE(hidden("Label9") && hidden("seDur") && !hidden("seDur2"));
  EXPECT_EQ(In<QWidget>(w, "cb8")->toolTip(), "PAR 212, bit #3");
  In<QRadioButton>(w, "rgRelay0")->click();
  EXPECT_EQ(Shown(w, "cb1") + Shown(w, "cb2") + Shown(w, "cb4"), "tickedtickedclear");
  In<QCheckBox>(w, "cb1")->click();
  EXPECT_TRUE(hidden("Label9") && hidden("cbb24") && hidden("cbb26"));
}

TEST_F(HardwareWindowTest, GridsAndFieldsLimitOnlyWhatTheOperatorTypes) {
  hall->setParam(309, kLong);
  hall->setParam(32, "1");  // the reverse times may be edited
  StartMain();
  TfHardware* w = Open();
  ASSERT_NE(w, nullptr);

  // "." in a number moves to the next number, also out of an open edit.
  auto* ip = In<TAddressGrid>(w, "sgIP");
  ip->setCurrentCell(0, 2);
  QTest::keyClick(ip, '.');
  EXPECT_EQ(ip->currentColumn(), 4);
  ip->setCurrentCell(0, 0);
  QTest::keyClick(ip, '1');  // opens the edit with the digit typed
  auto* editor = ip->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "1");
  QTest::keyClicks(editor, "07x5.");
  EXPECT_EQ(ip->currentColumn(), 2);
  EXPECT_EQ(ip->item(0, 0)->text(), "107");
  QTest::keyClick(ip, '.');
  QTest::keyClick(ip, '.');
  EXPECT_EQ(ip->currentColumn(), 6);
  QTest::keyClick(ip, '.');
  EXPECT_EQ(ip->currentColumn(), 6) << "the last number has nowhere to go";
  EXPECT_EQ(ip->GetAddressGrid(), "107.168.1.207");

  // A value read longer than the limit stays whole and may shrink, but typing never makes a text
  // longer than the limit.
  auto* rex = In<QLineEdit>(w, "edRexMsg");
  EXPECT_EQ(rex->text().toStdString(), kLong);
  rex->end(false);
  QTest::keyClick(rex, 'x');
  EXPECT_EQ(rex->text().toStdString(), kLong);
  QTest::keyClick(rex, Qt::Key_Backspace);
  QTest::keyClick(rex, 'x');
  EXPECT_EQ(rex->text().size(), 19);
  const struct {
    const char* name;
    std::string typed;
    QString shown;
  } typing[] = {
      {"edFDMsg", "abcdefghijklmnopqrst", "abcdefghijklmnop"},
      {"edPass1", "1234567", "12345"},
      {"ePrinter", std::string(80, 'p'), QString(70, 'p')},
      {"meRD2", "081599", "08:15"},
      {"edIdle", "no limit on the idle line", "no limit on the idle line"},
      {"edF1", "F1|DELFILE", "F1DELFILE"},  // a "|" would split the value into two commands
  };
  for (const auto& t : typing) {
    auto* edit = In<QLineEdit>(w, t.name);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(t.typed));
    EXPECT_EQ(edit->text(), t.shown) << t.name;
  }
  EXPECT_EQ(In<QLineEdit>(w, "edPass1")->echoMode(), QLineEdit::Password);
  In<QPushButton>(w, "sbSend")->click();
  auto commands = Commands();
  EXPECT_NE(std::find(commands.begin(), commands.end(), "SFMPAR 102 5"), commands.end());
  EXPECT_EQ(ParamTable()[313].substr(4, 4), "0815") << "the time's value leaves out the colon";
  EXPECT_EQ(ParamTable()[201], "107.168.1.207");
}

TEST_F(HardwareWindowTest, ClosingTheWindowDuringTheReadWaitsForTheRead) {
  StartMain();
  QPointer<TfHardware> window;
  int readsAtClose = -1;
  bool openAtClose = false;
  ui.OnProcessMessages = [&] {
    if (readsAtClose >= 0 || ParamReads() < 10) return;
    window = main->ToolWindows().As<TfHardware>(TToolWindow::Hardware);
    main->findChild<QAction*>("tbHardware")->trigger();  // the second click closes it
    readsAtClose = ParamReads();
    openAtClose = window && !window->isHidden() && main->ToolWindows().IsOpen(TToolWindow::Hardware);
  };
  main->findChild<QAction*>("tbHardware")->trigger();
  ui.OnProcessMessages = nullptr;

  ASSERT_GE(readsAtClose, 10);
  EXPECT_TRUE(openAtClose) << "the window waited for its read";
  EXPECT_LT(ParamReads(), 55) << "the read stopped at the next page";
  auto commands = Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "GETVER"), 0);
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::Hardware));
  EXPECT_FALSE(main->findChild<QAction*>("tbHardware")->isChecked());
  EXPECT_FALSE(dm->Jobs.Busy());
  for (int i = 0; i < 3; ++i) QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace korvo
