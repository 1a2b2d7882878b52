// The Activities page of the cardholder window: page show and View with the filter fields, the grid
// read a window at a time and sorted by a title click, Delete behind its question, Save through the
// dialog's filters, and the backup reload.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <filesystem>

#include "GuiFixture.h"
#include "cards/ui/ActivityBrowser.h"
#include "cards/ui/ActivityModel.h"
#include "cards/ui/Card.h"
#include "store/Database.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class ActivityWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    AddTerminal("192.168.1.207", "001", "Gate");
    AddTerminal("192.168.1.208", "002", "Hall");
    dm->ADOC.Execute("INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) VALUES ('408173', 'E-17', 'Zoe')");
    dm->ADOC.Execute(
        "INSERT INTO tActivities VALUES ('408176', '2026-12-09 12:00:00', 'O', '01', '002', '00'), "
        "('408173', '2026-12-08 07:58:00', 'I', '00', '001', '00'), "
        "('408173', '2026-12-08 17:03:00', 'O', '01', '001', 'F1'), "
        "('408174', '2026-12-08 13:10:00', 'I', '00', '002', '00'), "
        "('408175', '2026-12-09 11:59:59', 'I', '00', '001', '00')");
    dm->Settings.SetCurAddr("192.168.1.207");
    dm->Settings.SetCurLocation("Gate");
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
    Find<QAction>("tbCard")->trigger();
    card = main->ToolWindows().As<TfCard>(TToolWindow::Cardholders);
    ASSERT_TRUE(card);
    ShowPage();
    ui.calls.clear();
  }
  template <class T>
  T* In(const char* name) {
    return card->findChild<T*>(name);
  }
  void ShowPage() {
    In<QTabWidget>("pcCard")->setCurrentIndex(0);
    In<QTabWidget>("pcCard")->setCurrentIndex(1);
  }
  QAbstractItemModel* Grid() { return In<QTableView>("vActivity")->model(); }
  Strings Column(int column) {
    Strings out;
    for (int r = 0; r < Grid()->rowCount(); ++r)
      out.push_back(Grid()->index(r, column).data().toString().toStdString());
    return out;
  }
  void Filter(const char* cardFr, const char* cardTo, const char* timeFr, const char* timeTo,
              const char* event = "None", const char* location = "None") {
    In<QLineEdit>("eCardFr")->setText(cardFr);
    In<QLineEdit>("eCardTo")->setText(cardTo);
    In<QLineEdit>("meTimeFr")->setText(timeFr);
    In<QLineEdit>("meTimeTo")->setText(timeTo);
    In<QComboBox>("lbEvent")->setCurrentText(event);
    In<QComboBox>("cbLocation")->setCurrentText(location);
  }
  int Stored() {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT COUNT(*) FROM tActivities");
    q.Open();
    return static_cast<int>(q.Field(0).AsInteger());
  }
  void Click(const char* button) { In<QPushButton>(button)->click(); }

  TfCard* card = nullptr;
};

TEST_F(ActivityWindowTest, PageShowResetsEventAndLocationAndViewAppliesTheFields) {
  EXPECT_EQ(Grid()->rowCount(), 5);
  EXPECT_EQ(Grid()->headerData(3, Qt::Horizontal).toString(), "Time");
  EXPECT_EQ(Column(3)[1], "2026/12/08 07:58:00");
  EXPECT_EQ(In<QComboBox>("cbLocation")->count(), 3);

  Filter("", "", "", "", "Not In Axgroup", "Hall");
  ShowPage();
  EXPECT_EQ(In<QComboBox>("lbEvent")->currentText(), "None");
  EXPECT_EQ(In<QComboBox>("cbLocation")->currentText(), "None");

  const struct {
    const char *cardFr, *cardTo, *timeFr, *timeTo, *event, *location;
    Strings cards;
  } cases[] = {
      {"408173", "", "", "", "None", "None", {"408176", "408173", "408173", "408174", "408175"}},
      {"408173", "408174", "", "", "None", "None", {"408173", "408173", "408174"}},
      {"", "", "20261208000000", "20261208235959", "None", "None", {"408173", "408173", "408174"}},
      {"", "", "2026120800000", "20261208235959", "None", "Hall", {"408176", "408174"}},
      {"", "", "", "", "Not In Axgroup", "None", {"408176", "408173"}},
  };
  for (const auto& c : cases) {
    Filter(c.cardFr, c.cardTo, c.timeFr, c.timeTo, c.event, c.location);
    Click("bbView");
    EXPECT_EQ(Column(0), c.cards) << c.cardFr << c.timeFr << c.event << c.location;
  }
  EXPECT_EQ(Column(6), (Strings{"00", "F1"})) << "View carries the function key";
  EXPECT_EQ(ui.Texts("error"), Strings{});
}

TEST_F(ActivityWindowTest, TheGridReadsAWindowAtATimeAndATitleClickSortsEveryEvent) {
  dm->ADOC.Execute(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 17000) "
      "INSERT INTO tActivities SELECT printf('5%05d', i), datetime('2026-11-01', '+' || i || ' minutes'), "
      "'I', '00', '001', '00' FROM n");
  ShowPage();
  auto& model = card->ActivityBrowser().Model();
  EXPECT_EQ(Grid()->rowCount(), TActivityModel::kWindow);
  EXPECT_EQ(model.Windows(), 1);
  while (Grid()->canFetchMore({})) Grid()->fetchMore({});
  ASSERT_EQ(Grid()->rowCount(), 17005) << "read by offset, then counted and read by rowid";
  EXPECT_EQ(model.Windows(), 17005 / TActivityModel::kWindow + 1);
  const Strings cards = Column(0);
  EXPECT_EQ(cards[TActivityModel::kCountAfter - 1], "516379");
  EXPECT_EQ(cards[TActivityModel::kCountAfter], "516380");
  EXPECT_EQ(cards.back(), "517000");

  Filter("408173", "408176", "", "", "Not In Axgroup");
  Click("bbView");
  EXPECT_EQ(Column(0), (Strings{"408176", "408173"}));
  In<QTableView>("vActivity")->horizontalHeader()->sectionClicked(3);  // Time
  EXPECT_EQ(Column(3), (Strings{"2026/12/08 07:58:00", "2026/12/08 13:10:00", "2026/12/08 17:03:00",
                                "2026/12/09 11:59:59", "2026/12/09 12:00:00"}));
  EXPECT_EQ(Column(6), Strings(5, "")) << "the sorted list has no function key";
  In<QTableView>("vActivity")->horizontalHeader()->sectionClicked(1);  // ID Number: no ID first
  EXPECT_EQ(Column(1).back(), "E-17");
}

TEST_F(ActivityWindowTest, DeleteNeedsARangeAndAYes) {
  Filter("", "", "", "", "Not In Axgroup");
  Click("bbDel");
  ASSERT_EQ(ui.Texts("error").size(), 1u) << "the engine refuses a delete without a range";
  EXPECT_EQ(ui.Texts("yesno"), Strings{});
  EXPECT_EQ(Grid()->rowCount(), 5);
  EXPECT_EQ(Stored(), 5);

  Filter("", "", "20261208000000", "20261208235959", "Not In Axgroup");
  for (bool yes : {false, true}) {
    ui.calls.clear();
    ui.yesNoAnswers = {yes};
    Click("bbDel");
    EXPECT_EQ(ui.Texts("yesno"), Strings{"Delete 3 activities?"});
    EXPECT_EQ(Stored(), yes ? 2 : 5) << "every event of the day goes";
  }
  EXPECT_EQ(ui.Texts("error"), Strings{});
  EXPECT_EQ(
      LogMessages().back(),
      "Delete activities where (ftTime BETWEEN \"2026-12-08 00:00:00\" AND \"2026-12-08 23:59:59\") : 3 "
      "deleted.");
  EXPECT_EQ(Grid()->rowCount(), 0) << "the list shows the fields' range anew";
}

TEST_F(ActivityWindowTest, SaveWritesTheListAsLastRunByTheChosenFilter) {
  dm->SysParam.OutputFormat = "R,YMDHN";
  Filter("408173", "408174", "", "", "None", "Gate");
  Click("bbView");
  QStringList offered;
  int filter = 0;
  card->ActivityBrowser().SaveDialog = [&](const QStringList& filters) {
    offered = filters;
    return std::optional(TActivityBrowser::TChosenFile{QString::fromStdString(dir.File("act")), filter});
  };
  Click("bbSave");
  EXPECT_EQ(offered.join("|").toStdString(),
            "Text Documents (*.txt)|DBase File (*.dbf)|DBase FILO File (*.dbf)|CSV File (*.csv)");
  EXPECT_EQ(dir.Read("act.txt"), "408173,2612080758\r\n408173,2612081703\r\n");
  filter = 1;
  Click("bbSave");
  EXPECT_TRUE(std::filesystem::exists(dir.File("act.dbf")));
  EXPECT_EQ(ui.Texts("error"), Strings{});
}

TEST_F(ActivityWindowTest, ReloadWarnsWithoutAFileAndStoresTheChosenOne) {
  EXPECT_EQ(In<QComboBox>("cbFile")->count(), 0);
  EXPECT_FALSE(In<QCheckBox>("cbOut")->isEnabled()) << "the output is off";
  In<QCheckBox>("cbActivity")->setChecked(true);
  Click("bbReload");
  EXPECT_EQ(ui.Texts("warning"), Strings{"No backup file is selected."});

  const std::string name = "192.168.1.207 6  1224153001.BAK";
  std::filesystem::create_directories(dir.File("BackUp"));
  dir.Write("BackUp/" + name, "000408177081226075800I0000\r\n000408178081226170300O0100\r\n");
  dm->SysParam.OutputFileName = dir.File("out.txt");
  dm->SysParam.OutputFormat = "R";
  ShowPage();
  EXPECT_EQ(In<QComboBox>("cbFile")->currentText().toStdString(), name);
  EXPECT_TRUE(In<QCheckBox>("cbOut")->isEnabled());
  EXPECT_EQ(In<QCheckBox>("cbOut")->toolTip().toStdString(),
            "Output File : " + dir.File("out.txt") + "\rTemplate   : R");
  Click("bbReload");
  EXPECT_EQ(Stored(), 7);
  EXPECT_EQ(Grid()->rowCount(), 7);
  EXPECT_EQ(In<QProgressBar>("vmOut")->text(), "A C T I V I T I E S");
  EXPECT_EQ(LogMessages().back(), "Reload file \"" + name + "\" to Activity Table.");
}

}  // namespace
}  // namespace korvo
