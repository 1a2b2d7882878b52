// The Tables window against two simulated network terminals on loopback, on virtual time: the
// editors and their refusals, the shared order of the cardholder lists, "As :", the Biometrics
// marks, the tab order of the editors, SEND and a close during it, and the terminal switch.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <QTreeWidget>

#include "Faults.h"
#include "GuiFixture.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "link/SocketStream.h"
#include "store/SettingsRecord.h"
#include "store/TextCodec.h"
#include "support/NetTestSupport.h"
#include "tables/ListField.h"
#include "tables/ui/Table.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* kGate = "127.0.0.1@1";
constexpr const char* kDoor = "127.0.0.1@2";

// Gate (current after the start) and Door; cardholders 300 ann, 100 Cy, 200 Bob.
class TableWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    test::UseLoopbackNetwork(*dm, clock);
    for (const std::string n : {"1", "2"}) {
      // No logon code: the template commands go without one.
      auto t = std::make_shared<korvosim::Terminal>();
      terminals.push_back(t);
      ports.push_back(tcp.add(t));
      AddTerminal("127.0.0.1@" + n, "00" + n, n == "1" ? "Gate" : "Door", ports.back());
    }
    AddCard("300", "ann", "0A0B");
    AddCard("100", "Cy", "");
    AddCard("200", "Bob", "0C0D");
    TfTable::ListSort() = {};  // as at the start of a run
  }
  void TearDown() override {
    ui.OnProgressNotice = nullptr;
    TGuiFixture::TearDown();
  }
  void AddCard(const std::string& card, const std::string& name, const std::string& bio) {
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName, fmBioData) VALUES (?, ?, ?, ?)",
                     {TextValue(card), TextValue(card), TextValue(name), TextValue(bio)});
  }
  void Exec(const std::string& sql, const std::string& text = "") {
    if (text.empty())
      dm->ADOC.Execute(sql);
    else
      dm->ADOC.Execute(sql, {TextValue(text)});
  }
  int Count(const std::string& table) {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT * FROM " + table);
    q.Open();
    return q.RecordCount();
  }
  TfTable* Start() {
    main = std::make_unique<TfMain>(*program, *dm);
    main->SetSplashDuration(0);
    main->show();
    EXPECT_TRUE(main->FormCreate());
    Find<QAction>("tbTable")->trigger();
    return w = main->ToolWindows().As<TfTable>(TToolWindow::Tables);
  }
  template <class T>
  T* In(const char* name) {
    T* found = w->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void ToPage(TTablePage page) { In<QTabWidget>("pcTable")->setCurrentIndex(static_cast<int>(page)); }
  Strings Cards(bool tickedOnly = false) {
    Strings out;
    for (const auto& c : w->Model().cards)
      if (!tickedOnly || c.ticked) out.push_back(c.row.card);
    return out;
  }
  void ClickSection(QHeaderView* header, int section) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  }
  void ClickRow(const char* list, int row) {
    auto* view = In<QListView>(list);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(row, 0)).center());
  }

  korvosim::TcpFront tcp;
  std::vector<std::shared_ptr<korvosim::Terminal>> terminals;
  std::vector<int> ports;
  QPointer<TfTable> w;
};

TEST_F(TableWindowTest, AHolidayRowClickGivesItsDescriptionWordByWord) {
  Exec("INSERT INTO tHoliday (fsDate, fsDesc) VALUES ('0101', 'New  Year')");
  Start();
  EXPECT_EQ(w->windowTitle(), "Tables");
  EXPECT_EQ(In<QLabel>("pTable")->text(), "Gate");
  EXPECT_EQ(dm->Settings.SelectedAddr(), kGate);
  ClickRow("clbHolidays", 0);
  EXPECT_EQ(In<QLineEdit>("meHDate")->text(), "0101");
  EXPECT_EQ(In<QLineEdit>("meHDesc")->text(), "New Year ");
}

TEST_F(TableWindowTest, AnEditorRefusalIsAWarningAndStoresNothing) {
  Start();
  AddCard("400", "A|B", "");
  const struct {
    TTablePage page;
    std::vector<std::pair<const char*, QString>> fields;
    const char* button;
    const char* table;
    std::string warning;
  } cases[] = {
      {TTablePage::Holidays,
       {{"meHDate", "12"}, {"meHDesc", "Half"}},
       "bbHAE",
       "tHoliday",
       "A holiday needs its date: four digits, DDMM."},
      {TTablePage::Access,
       {{"meAcsCode", "x1"}, {"meAcsDesc", "Staff"}},
       "BitBtn2",
       "tAccess",
       "'x1' is not a valid code: a code is a whole number."},
      {TTablePage::Access,
       {{"meTTCode", "7"}, {"meTTDesc", "Day"}, {"meTTStart", "08:00:00"}, {"meTTEnd", ""}},
       "bbTTAE",
       "tTimeTable",
       "A time table needs its end time: HH:MM:SS."},
      {TTablePage::Alarm,
       {{"meACode", "3"}, {"meATime", ""}},
       "bbAAE",
       "tAlarm",
       "An alarm needs its time: HH:MM."},
      {TTablePage::Expired,
       {{"meCardNumber", ""}, {"meExpired", "311226"}},
       "bbExpAE",
       "tExpired",
       "An expiry date needs its card number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.warning);
    ui.calls.clear();
    ToPage(c.page);
    for (const auto& [name, text] : c.fields) In<QLineEdit>(name)->setText(text);
    In<QPushButton>(c.button)->click();
    EXPECT_EQ(ui.Texts("warning"), Strings{c.warning});
    EXPECT_EQ(Count(c.table), 0);
  }
  // A message whose name brings in a "|" changes no row.
  ui.calls.clear();
  ToPage(TTablePage::Message);
  const Strings cards = Cards();
  const auto row = static_cast<int>(std::find(cards.begin(), cards.end(), "400") - cards.begin());
  QAbstractItemModel* rows = In<QListView>("clbMessage")->model();
  ASSERT_TRUE(rows->setData(rows->index(row, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(Cards(true), Strings{"400"});
  In<QLineEdit>("meMessage")->setText("Hi %name%");
  In<QPushButton>("bbMAE")->click();
  EXPECT_EQ(ui.Texts("warning").size(), 1u);
  for (const auto& c : w->Model().cards) EXPECT_EQ(c.row.message, "");
}

TEST_F(TableWindowTest, TheCardListsShareOneOrderForTheRun) {
  WriteTerminalList(dm->ADOC, kGate, "fmBlackLst", {"200"});
  Start();
  ToPage(TTablePage::Blacklist);
  EXPECT_EQ(Cards(), (Strings{"200", "100", "300"})) << "by name as the database gives them";
  auto* black = In<QTreeView>("lvBlacklist")->header();
  ClickSection(black, 0);
  EXPECT_EQ(Cards(), (Strings{"100", "200", "300"}))
      << "the first click on the card column flips its direction";
  EXPECT_EQ(Cards(true), Strings{"200"});
  ClickSection(black, 0);
  EXPECT_EQ(Cards(), (Strings{"300", "200", "100"}));
  ToPage(TTablePage::Special);
  ClickSection(In<QTreeView>("lvSpecial")->header(), 1);
  EXPECT_EQ(Cards(), (Strings{"100", "200", "300"})) << "names descending, letter case ignored: Cy, Bob, ann";
  ToPage(TTablePage::Admin);
  ClickSection(In<QTreeView>("lvAdmin")->header(), 1);
  EXPECT_EQ(Cards(), (Strings{"300", "200", "100"})) << "ann, Bob, Cy";
  EXPECT_EQ(TfTable::ListSort().column, TCardColumn::Name);
  EXPECT_FALSE(TfTable::ListSort().descending);
}

TEST_F(TableWindowTest, AsShowsAnotherTerminalsTicksUntilThePageIsEnteredAgain) {
  WriteTerminalList(dm->ADOC, kGate, "fmBlackLst", {"100"});
  WriteTerminalList(dm->ADOC, kDoor, "fmBlackLst", {"200"});
  Start();
  auto* as = In<QComboBox>("cbTable");
  EXPECT_FALSE(as->isVisible()) << "the Holidays page has no \"As :\"";
  ToPage(TTablePage::Blacklist);
  EXPECT_TRUE(as->isVisible());
  EXPECT_EQ(as->count(), 2);
  EXPECT_EQ(as->currentText(), "Gate");
  EXPECT_EQ(Cards(true), Strings{"100"});
  as->setCurrentIndex(as->findText("Door"));
  emit as->activated(as->currentIndex());
  EXPECT_EQ(w->ListAddr(), kDoor);
  EXPECT_EQ(Cards(true), Strings{"200"});
  EXPECT_EQ(dm->Settings.SelectedAddr(), kGate) << "only SEND moves SelectedAddr";
  ToPage(TTablePage::Holidays);
  ToPage(TTablePage::Blacklist);
  EXPECT_EQ(as->currentText(), "Gate");
  EXPECT_EQ(w->ListAddr(), kGate);
  EXPECT_EQ(Cards(true), Strings{"100"});
}

TEST_F(TableWindowTest, SearchSelectsTheWholeValueOnly) {
  Start();
  main->activateWindow();
  QApplication::setActiveWindow(main.get());
  ToPage(TTablePage::Special);
  auto* view = In<QTreeView>("lvSpecial");
  auto* byName = In<QLineEdit>("edNameSpecial");
  auto* byCard = In<QLineEdit>("edCardSpecial");
  byName->setFocus();
  QTest::keyClicks(byName, " BO");
  EXPECT_FALSE(view->currentIndex().isValid()) << "a part of a name finds nothing";
  QTest::keyClicks(byName, "B ");
  EXPECT_EQ(view->currentIndex().data().toString(), "200");
  EXPECT_TRUE(view->selectionModel()->isRowSelected(view->currentIndex().row(), {}));
  byCard->setFocus();
  EXPECT_EQ(byName->text(), "") << "leaving the box empties it";
  QTest::keyClicks(byCard, "300");
  EXPECT_EQ(view->currentIndex().data().toString(), "300");
}

TEST_F(TableWindowTest, BiometricsSendAndGetShowWhatFailedAndTheListAgain) {
  auto bytes = [](int seed) {
    std::string t;
    for (int i = 0; i < 384; ++i) t += static_cast<char>((i * 37 + seed) % 256);
    return t;
  };
  const std::string t200 = bytes(2), t300 = bytes(3);
  for (const auto& [card, t] : {std::pair{"200", t200}, std::pair{"300", t300}})
    dm->ADOC.Execute("UPDATE tEmployees SET fmBioData = ? WHERE fsCardNo = ?",
                     {TextValue(HexEncode(t)), TextValue(card)});
  terminals[0]->refuseTemplateBytes("300");
  Start();
  ToPage(TTablePage::Biometrics);
  In<QCheckBox>("cbBio")->click();
  EXPECT_EQ(Cards(true), (Strings{"200", "100", "300"}));
  In<QPushButton>("bbSend")->click();
  EXPECT_EQ(ui.Texts("warning"), Strings{"The terminal did not take the templates of 1 card(s): 300."});
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_EQ(terminals[0]->templateBytes("200", 0), t200);
  EXPECT_EQ(ReadTerminalList(dm->ADOC, kGate, "fmBioUsrLst"), (Strings{"100", "200"}));
  EXPECT_EQ(Cards(true), (Strings{"200", "100"})) << "the list shown again";

  // Get of the ticked cards: 200 comes whole, 100's template is cut short on the terminal.
  ui.calls.clear();
  dm->ADOC.Execute("UPDATE tEmployees SET fmBioData = '' WHERE fsCardNo = '200'");
  terminals[0]->setTemplate("100", 0, bytes(1));
  terminals[0]->addReplyOverride(
      {.match = "TMPDATA 100", .kind = korvosim::ReplyOverride::Kind::Partial, .bytes = 100});
  In<QPushButton>("bbGet")->click();
  EXPECT_EQ(
      ui.Texts("warning"),
      Strings{
          "The templates of 1 card(s) did not arrive whole; the database keeps what it had for them: 100."});
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  const auto& rows = w->Model().cards;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[0].row.hasTemplate) << "200's template is back and the list shows it";
  EXPECT_FALSE(rows[1].row.hasTemplate);
}

TEST_F(TableWindowTest, BiometricsRowsWithoutATemplateAreBlueItalics) {
  Start();
  ToPage(TTablePage::Biometrics);
  EXPECT_EQ(In<QLabel>("lNoTemplate")->text(), "Italic Blue Font ");
  EXPECT_EQ(In<QLabel>("lNoTemplateText")->text(), "=  No Template.");
  QAbstractItemModel* bio = In<QTreeView>("lvBio")->model();
  QAbstractItemModel* black = In<QTreeView>("lvBlacklist")->model();
  for (int row = 0; row < 3; ++row) {
    const bool without = bio->index(row, 0).data().toString() == "100";
    for (int column = 0; column < 2; ++column) {
      const QModelIndex i = bio->index(row, column);
      EXPECT_EQ(i.data(Qt::FontRole).value<QFont>().italic(), without) << row;
      EXPECT_EQ(i.data(Qt::ForegroundRole).value<QBrush>().color(), without ? Qt::blue : Qt::black) << row;
      EXPECT_FALSE(black->index(row, column).data(Qt::FontRole).value<QFont>().italic());
    }
  }
}

TEST_F(TableWindowTest, TabWalksEachEditorInTheOrderItIsSeen) {
  Start();
  main->activateWindow();
  QApplication::setActiveWindow(main.get());
  const struct {
    TTablePage page;
    const char* sheet;  // an Add / Edit sheet to show first
    Strings names;
  } cases[] = {
      {TTablePage::Holidays, nullptr, {"meHDate", "meHDesc", "bbHAE", "bbHDel"}},
      {TTablePage::Access, "pcAccess", {"meAcsCode", "meAcsDesc", "BitBtn2", "BitBtn1"}},
      {TTablePage::Access,
       "pcTimeTable",
       {"meTTCode", "meTTDesc", "meTTStart", "meTTEnd", "cbTTSun", "cbTTMon", "cbTTTue", "cbTTWed", "cbTTThu",
        "cbTTFri", "cbTTSat", "cbTTHol", "bbTTAE", "bbTTDel"}},
      {TTablePage::Alarm,
       nullptr,
       {"meACode", "meATime", "seADur", "cbR1", "cbR2", "cbMon", "cbTue", "cbWed", "cbThu", "cbFri", "cbSat",
        "cbSun", "cbHol", "bbAAE", "bbADel"}},
      {TTablePage::Blacklist, nullptr, {"edCardBlacklist", "edNameBlacklist"}},
      {TTablePage::Message, nullptr, {"meMessage", "bbMAE"}},
      {TTablePage::Expired, nullptr, {"meCardNumber", "meExpired", "deExpired", "bbExpAE", "bbExpDel"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.names.front());
    ToPage(c.page);
    if (c.sheet) In<QTabWidget>(c.sheet)->setCurrentIndex(1);
    QApplication::processEvents();
    std::vector<QWidget*> widgets;
    for (const auto& name : c.names) widgets.push_back(In<QWidget>(name.c_str()));
    // Each field stands right of the one before on its line, or on a line below it.
    for (std::size_t i = 1; i < widgets.size(); ++i) {
      const QRect a(widgets[i - 1]->mapTo(w, QPoint()), widgets[i - 1]->size());
      const QRect b(widgets[i]->mapTo(w, QPoint()), widgets[i]->size());
      const bool sameLine = std::abs(a.center().y() - b.center().y()) < std::max(a.height(), b.height()) / 2;
      EXPECT_TRUE(sameLine ? b.left() > a.left() : b.top() >= a.bottom()) << c.names[i];
    }
    widgets.front()->setFocus(Qt::TabFocusReason);
    for (std::size_t i = 1; i < widgets.size(); ++i) {
      auto focusIn = [&](QWidget* widget) {
        QWidget* focus = w->window()->focusWidget();
        return focus == widget || widget->isAncestorOf(focus);
      };
      QTest::keyClick(w->window()->focusWidget(), Qt::Key_Tab);
      // In a date picker Tab goes from the day to the month and the year first.
      for (int section = 1;
           section < 3 && qobject_cast<QDateEdit*>(widgets[i - 1]) && focusIn(widgets[i - 1]); ++section)
        QTest::keyClick(w->window()->focusWidget(), Qt::Key_Tab);
      QWidget* focus = w->window()->focusWidget();
      EXPECT_TRUE(focus == widgets[i] || widgets[i]->isAncestorOf(focus))
          << c.names[i] << " after " << c.names[i - 1] << ", not "
          << (focus ? focus->objectName().toStdString() : "");
    }
  }
}

TEST_F(TableWindowTest, SendOfTheHolidaysEndsWithJobComplete) {
  for (const char* d : {"2512", "0101", "1108"})
    Exec("INSERT INTO tHoliday (fsDate, fsDesc) VALUES (?, 'x')", d);
  WriteTerminalList(dm->ADOC, kGate, "fmHoliday", {"2512", "0101"});
  Start();
  In<QPushButton>("bbSend")->click();
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_TRUE(ui.Texts("warning").empty());
  EXPECT_EQ(terminals[0]->file("SYSTEM\\HOLITBL.DAT"), (Strings{"0101", "2512"}));
  EXPECT_EQ(ReadTerminalList(dm->ADOC, kGate, "fmHoliday"), (Strings{"0101", "2512"}));
  EXPECT_FALSE(dm->Jobs.Busy());
}

TEST_F(TableWindowTest, ClosingDuringSendWaitsForIt) {
  tcp.setFaults(ports[0], korvosim::Faults{.delayMs = 20});
  for (const char* d : {"0101", "0202", "0303"})
    Exec("INSERT INTO tHoliday (fsDate, fsDesc) VALUES (?, 'x')", d);
  WriteTerminalList(dm->ADOC, kGate, "fmHoliday", {"0101", "0202", "0303"});
  Start();
  bool closedAsked = false, aliveAtClose = false;
  // The main window lets messages through at every progress notice: the close comes after the first
  // record.
  ui.OnProgressNotice = [&](const std::string& notice) {
    if (closedAsked || notice != "1") return;
    closedAsked = true;
    In<QPushButton>("bbClose")->click();
    aliveAtClose = !w.isNull() && w->isVisible() && main->ToolWindows().IsOpen(TToolWindow::Tables);
  };
  In<QPushButton>("bbSend")->click();
  EXPECT_TRUE(closedAsked && aliveAtClose);
  EXPECT_EQ(terminals[0]->file("SYSTEM\\HOLITBL.DAT"), (Strings{"0101", "0202", "0303"}));
  EXPECT_EQ(ui.Texts("information"), Strings{"Job Complete."});
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::Tables));
  EXPECT_FALSE(Find<QAction>("tbTable")->isChecked());
  FlushDeletes();
  EXPECT_TRUE(w.isNull());
}

TEST_F(TableWindowTest, TheWindowFollowsTheClickedTerminalWhetherItAnswersOrNot) {
  tcp.setFaults(ports[1], korvosim::Faults{.silent = true});
  Exec("INSERT INTO tHoliday (fsDate, fsDesc) VALUES ('0101', 'x')");
  WriteTerminalList(dm->ADOC, kDoor, "fmHoliday", {"0101"});
  main = std::make_unique<TfMain>(*program, *dm);
  main->show();
  ASSERT_TRUE(main->FormCreate());
  Find<QAction>("miTables")->trigger();
  w = main->ToolWindows().As<TfTable>(TToolWindow::Tables);
  EXPECT_EQ(In<QLabel>("pTable")->text(), "") << "the menu item leaves the panel as it is";
  EXPECT_TRUE(Find<QAction>("tbTable")->isChecked()) << "one open flag for both";
  auto* tree = main->findChild<QTreeWidget*>("tvMachine");
  auto click = [&](const char* location) {
    tree->setCurrentItem(tree->findItems(location, Qt::MatchStartsWith | Qt::MatchRecursive).value(0));
    main->tvMachineClick();
  };
  click("Gate");
  EXPECT_EQ(In<QLabel>("pTable")->text(), "Gate");
  EXPECT_FALSE(w->Model().holidays.front().ticked);
  click("Door");
  EXPECT_EQ(ui.Texts("warning"), Strings{"Can't access to Door"});
  EXPECT_EQ(In<QLabel>("pTable")->text(), "Door");
  EXPECT_EQ(dm->Settings.SelectedAddr(), kDoor);
  EXPECT_EQ(dm->Settings.CurAddr(), kGate);
  EXPECT_TRUE(w->Model().holidays.front().ticked) << "the Door's holidays";
}

}  // namespace
}  // namespace korvo
