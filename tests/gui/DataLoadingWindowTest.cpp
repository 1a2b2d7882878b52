// The Data Loading Setup window: its controls from UPLOAD.CFG, OK and Cancel, the output file
// chooser, and the two mapping grids.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "GuiFixture.h"
#include "collect/LoadingSetup.h"
#include "collect/ui/DataLoading.h"
#include "store/Database.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class DataLoadingWindowTest : public test::TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    NewMain().show();
    ASSERT_TRUE(main->FormCreate());
  }
  TfLoading* Open() {
    Find<QAction>("tbLoading")->trigger();
    return main->ToolWindows().As<TfLoading>(TToolWindow::DataLoading);
  }
  template <class T>
  T* In(const char* name) {
    auto* w = main->ToolWindows().As<TfLoading>(TToolWindow::DataLoading);
    return w ? w->findChild<T*>(name) : nullptr;
  }
  void Click(const char* name) {
    In<QPushButton>(name)->click();
    FlushDeletes();
  }
  QToolButton* NavButton(const char* navigator, const char* button) {
    return In<QWidget>(navigator)->findChild<QToolButton*>(button);
  }
  // The flags of the ticked rows of the event filter list.
  Strings Ticked() {
    Strings flags;
    auto* list = In<QListWidget>("clbEvent");
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->checkState() == Qt::Checked)
        flags.push_back(list->item(i)->data(Qt::UserRole).toString().toStdString());
    return flags;
  }
  void Tick(const QString& flag, bool on = true) {
    auto* list = In<QListWidget>("clbEvent");
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->data(Qt::UserRole).toString() == flag)
        list->item(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
  std::string Config() { return dir.Read("UPLOAD.CFG"); }
  bool HasLine(const std::string& line) { return Config().find(line + "\r\n") != std::string::npos; }
  Strings Column(const char* sql) {
    TQuery q(dm->ADOC);
    q.SetSQL(sql);
    q.Open();
    Strings values;
    for (q.First(); !q.Eof(); q.Next()) values.push_back(q.Field(0).AsString());
    return values;
  }
};

TEST_F(DataLoadingWindowTest, OpeningShowsTheConfigurationInEveryControl) {
  dir.Write("UPLOAD.CFG",
            "[Korvo2KWeb]\r\nOutput Type=DBF\r\nOutput Format=DMY\r\nOutput FileName=/out/t.dbf\r\n"
            "Output Event Filter=03\r\nDelete After Loaded=1\r\nSynchronize Time=1\r\nSkip Duplicates=1\r\n");
  TfLoading* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "Data Loading Setup");
  EXPECT_TRUE(Find<QAction>("tbLoading")->isChecked());
  EXPECT_EQ(Find<QAction>("tbLoading")->text(), "Setup Data Loading");
  EXPECT_EQ(Find<QAction>("miDataLoading")->text(), "&Data Loading");

  const std::vector<std::pair<const char*, QString>> texts = {{"lType", "File Type  :"},
                                                              {"lFormat", "Format     :"},
                                                              {"lName", "File Name :"},
                                                              {"lAs", "As :"},
                                                              {"lEvent", "Event Filter :"},
                                                              {"cbTerm", "Term. No"},
                                                              {"cbDate", "Date"},
                                                              {"cbDelete", "Delete data after load"},
                                                              {"cbRestart", "Restart after load"},
                                                              {"cbFlag", "Flag Transaction"},
                                                              {"cbTime", "Synchronize Time"},
                                                              {"cbLock", "Lock Terminal"},
                                                              {"cbSkipDup", "Skip Duplicates"}};
  for (const auto& [name, text] : texts) {
    auto* label = In<QLabel>(name);
    auto* box = In<QCheckBox>(name);
    ASSERT_TRUE(label || box) << name;
    EXPECT_EQ(label ? label->text() : box->text(), text) << name;
  }
  EXPECT_EQ(In<QGroupBox>("gbDirMap")->title(), "[ Direction Code Map ]");
  EXPECT_EQ(In<QGroupBox>("gbEventMap")->title(), "[ Event Code Map ]");
  EXPECT_FALSE(In<QCheckBox>("cbLock")->isVisible());
  EXPECT_EQ(In<QCheckBox>("cbSkipDup")->toolTip(),
            "A record already stored (same card, time, direction, event, terminal and function code) is not "
            "stored again.");
  EXPECT_EQ(In<QLineEdit>("edFormat")->toolTip(),
            "C/c   : Century\nY/y   : Year\nM/m : Month\nD/d  : Day\nW/w : DayOfWeek\nH/h  : Hour\n"
            "N/n  : Minute\nS/s   : Second\nR/r   : Card Number\nO/o  : Direction Code\nE/e  : Event Code\n"
            "T/t   : Terminal\nX/x  : Name\nI/i    : ID Number\nF/f   : Function Code");

  auto* type = In<QComboBox>("cbType");
  EXPECT_EQ(type->count(), 3);
  EXPECT_EQ(type->currentText(), "DBF");
  EXPECT_EQ(In<QLineEdit>("edFormat")->text(), "DMY");
  EXPECT_EQ(In<QLineEdit>("edName")->text(), "/out/t.dbf");
  EXPECT_TRUE(In<QCheckBox>("cbDelete")->isChecked() && In<QCheckBox>("cbTime")->isChecked() &&
              In<QCheckBox>("cbSkipDup")->isChecked());
  EXPECT_FALSE(In<QCheckBox>("cbRestart")->isChecked() || In<QCheckBox>("cbFlag")->isChecked());

  auto* list = In<QListWidget>("clbEvent");
  ASSERT_EQ(list->count(), 10);
  EXPECT_EQ(list->item(3)->text(), "  03  Forced Door");
  EXPECT_EQ(Ticked(), Strings{"03"});
  auto* header = In<QHeaderView>("hcEvent");
  ASSERT_NE(header, nullptr);
  QStringList titles;
  for (int i = 0; i < header->count(); ++i)
    titles << header->model()->headerData(i, Qt::Horizontal).toString();
  EXPECT_EQ(titles, (QStringList{"X", "Flag", "Description"}));

  for (const char* grid : {"VolgaDBGrid1", "VolgaDBGrid2"}) {
    QAbstractItemModel* m = In<QTableView>(grid)->model();
    ASSERT_NE(m, nullptr) << grid;
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString() + m->headerData(1, Qt::Horizontal).toString() +
                  m->headerData(2, Qt::Horizontal).toString(),
              "FlagCodeDisplay");
  }
  EXPECT_EQ(In<QTableView>("VolgaDBGrid1")->model()->rowCount(), 5);  // 0, 00, 1, I, O
  EXPECT_EQ(
      In<QTableView>("VolgaDBGrid2")->model()->data(In<QTableView>("VolgaDBGrid2")->model()->index(9, 2)),
      "Finger Timeout");
  for (const char* b :
       {"nbFirst", "nbPrior", "nbNext", "nbLast", "nbInsert", "nbDelete", "nbPost", "nbCancel", "nbRefresh"})
    EXPECT_NE(NavButton("DBNavigator2", b), nullptr) << b;
}

TEST_F(DataLoadingWindowTest, ActivationAfterAnotherChildWindowReadsTheFileAgain) {
  TfLoading* w = Open();
  auto* own = qobject_cast<QMdiSubWindow*>(w->parentWidget());
  ASSERT_NE(own, nullptr);
  Find<QAction>("tbAdm")->trigger();
  QMdiArea* area = main->MdiArea();
  area->setActiveSubWindow(area->subWindowList().back());
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput Format=HNS\r\n");
  EXPECT_EQ(In<QLineEdit>("edFormat")->text(), "CYMDHNSR");
  area->setActiveSubWindow(own);
  EXPECT_EQ(In<QLineEdit>("edFormat")->text(), "HNS");
  In<QLineEdit>("edFormat")->setText("typed");
  area->setActiveSubWindow(own);
  EXPECT_EQ(In<QLineEdit>("edFormat")->text(), "typed") << "no second activation while it stays active";
}

TEST_F(DataLoadingWindowTest, TheNameOptionsShowForTextFilesOnly) {
  struct TCase {
    const char* stored;
    int choose;  // index to choose afterwards, -1: none
    bool shownFirst;
    bool shownAfter;
  };
  const TCase cases[] = {
      {"TXT", 1, true, false},
      {"DBF", 0, false, true},
      {"XDBF", 0, false, true},
      {"CSV", 2, false, false},  // not in the list: no type selected
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.stored);
    dir.Write("UPLOAD.CFG", std::string("[Korvo2KWeb]\r\nOutput Type=") + c.stored + "\r\n");
    Open();
    for (const char* name : {"lAs", "cbTerm", "cbDate"})
      EXPECT_EQ(In<QWidget>(name)->isVisible(), c.shownFirst);
    In<QComboBox>("cbType")->setCurrentIndex(c.choose);
    for (const char* name : {"lAs", "cbTerm", "cbDate"})
      EXPECT_EQ(In<QWidget>(name)->isVisible(), c.shownAfter);
    Click("BitBtn2");
  }
}

TEST_F(DataLoadingWindowTest, OkStoresTheTickedEventsAndReopeningTicksExactlyThose) {
  Open();
  In<QComboBox>("cbType")->setCurrentIndex(0);
  In<QLineEdit>("edName")->clear();
  Tick("01");
  Tick("05");
  In<QCheckBox>("cbDelete")->setChecked(true);
  In<QCheckBox>("cbSkipDup")->setChecked(true);
  In<QCheckBox>("cbLock")->setChecked(true);
  In<QLineEdit>("edFormat")->setText("D/M/CY");
  program->SysParam.LoadAllTerminal = true;  // the Load Data window's, written along
  Click("BitBtn1");
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::DataLoading));
  EXPECT_FALSE(Find<QAction>("tbLoading")->isChecked());
  for (const char* line :
       {"Output Type=TXT", "Output Format=D/M/CY", "Output FileName=NONE", "Output Event Filter=01,05",
        "Delete After Loaded=1", "Load All Terminal=1", "Skip Duplicates=1"})
    EXPECT_TRUE(HasLine(line)) << line << "\n" << Config();
  EXPECT_TRUE(program->SysParam.LockTerminal);
  EXPECT_EQ(Config().find("Lock"), std::string::npos);
  EXPECT_EQ(LogMessages().back(), "Data Loading Setup : Delete After Load = True.");

  program->SysParam.OutputEventFilter = "NONE";  // the window reads the file again
  Open();
  EXPECT_EQ(Ticked(), (Strings{"01", "05"}));
  EXPECT_TRUE(In<QCheckBox>("cbSkipDup")->isChecked());
  EXPECT_EQ(In<QLineEdit>("edName")->text(), "NONE");
  Tick("01", false);
  Tick("05", false);
  In<QCheckBox>("cbDelete")->setChecked(false);
  Click("BitBtn1");
  EXPECT_TRUE(HasLine("Output Event Filter=NONE"));
  EXPECT_EQ(LogMessages().back(), "Data Loading Setup : Delete After Load = False.");
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(DataLoadingWindowTest, OkWithoutATypeAndCancelStoreNothing) {
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput Type=CSV\r\nOutput Format=DMY\r\n");
  const std::string before = Config();
  const std::size_t logLines = LogMessages().size();
  Open();
  In<QLineEdit>("edFormat")->setText("YMD");
  Click("BitBtn1");
  EXPECT_EQ(ui.Texts("error"), Strings{kNoOutputTypeText});
  EXPECT_TRUE(main->ToolWindows().IsOpen(TToolWindow::DataLoading));

  In<QComboBox>("cbType")->setCurrentIndex(1);
  Tick("02");
  In<QCheckBox>("cbSkipDup")->setChecked(true);
  Click("BitBtn2");
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::DataLoading));
  EXPECT_EQ(Config(), before);
  EXPECT_EQ(program->SysParam.OutputFormat, "DMY");
  EXPECT_FALSE(program->SysParam.SkipDuplicates);
  EXPECT_EQ(LogMessages().size(), logLines);
}

TEST_F(DataLoadingWindowTest, OkWithoutUploadCfgWarnsClosesAndLogs) {
  std::remove(dir.File("UPLOAD.CFG").c_str());
  Open();
  EXPECT_EQ(ui.Texts("warning"), Strings{UploadConfigMissingText(dir.Path())});
  In<QComboBox>("cbType")->setCurrentIndex(0);
  Click("BitBtn1");
  EXPECT_EQ(ui.Texts("warning").size(), 2u);
  EXPECT_FALSE(main->ToolWindows().IsOpen(TToolWindow::DataLoading));
  EXPECT_FALSE(dir.Exists("UPLOAD.CFG"));
  EXPECT_EQ(LogMessages().back(), "Data Loading Setup : Delete After Load = False.");
}

TEST_F(DataLoadingWindowTest, TheChosenFileGetsItsExtensionAndGoesIntoMemoryAtOnce) {
  struct TCase {
    int type;
    int filter;
    const char* chosen;  // nullptr: the dialog is cancelled
    QStringList filters;
    const char* name;
  };
  const TCase cases[] = {
      {0, 0, "/data/X.TXT", {"Text File (*.txt)", "Other Files (*.*)"}, "/data/X.TXT.txt"},
      {0, 1, "/data/day", {"Text File (*.txt)", "Other Files (*.*)"}, "/data/day"},
      {1, 0, "/data/b", {"DBase File (*.dbf)"}, "/data/b.dbf"},
      {1, 0, nullptr, {"DBase File (*.dbf)"}, "/out/start.txt"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.chosen ? c.chosen : "cancelled");
    dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput FileName=/out/start.txt\r\n");
    TfLoading* w = Open();
    In<QComboBox>("cbType")->setCurrentIndex(c.type);
    QStringList offered;
    QString folder;
    w->SaveDialog = [&](const QStringList& filters,
                        const QString& start) -> std::optional<TfLoading::TChosenFile> {
      offered = filters;
      folder = start;
      if (!c.chosen) return std::nullopt;
      return TfLoading::TChosenFile{c.chosen, c.filter};
    };
    In<QPushButton>("BitBtn3")->click();
    EXPECT_EQ(offered, c.filters);
    EXPECT_EQ(folder, "/out");
    EXPECT_EQ(In<QLineEdit>("edName")->text(), c.name);
    EXPECT_EQ(In<QLineEdit>("edName")->selectedText(), c.name);
    EXPECT_EQ(program->SysParam.OutputFileName, c.name);
    Click("BitBtn2");
  }
}

TEST_F(DataLoadingWindowTest, GridEditsReachTheTablesAndTheEventGridRefillsTheList) {
  program->SysParam.OutputEventFilter = "NONE";
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput Event Filter=00\r\n");
  // The grid rows are counted from the letter flags: the digit direction rows are left out.
  dm->ADOC.Execute("DELETE FROM tDirMap WHERE fcDirFlag IN ('0', '1')");
  Open();
  // An edit typed into the direction grid, posted with the navigator.
  auto* dirGrid = In<QTableView>("VolgaDBGrid1");
  const QModelIndex code = dirGrid->model()->index(1, 1);
  dirGrid->setCurrentIndex(code);
  dirGrid->edit(code);
  auto* editor = dirGrid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maxLength(), 10);
  editor->setText("IN");
  NavButton("DBNavigator1", "nbPost")->click();
  EXPECT_EQ(Column("SELECT fsDirCode FROM tDirMap ORDER BY fcDirFlag"), (Strings{"00", "IN", "O"}));

  // A new event row: the list follows at once, with the ticks of the configuration in memory.
  Tick("02");
  auto* eventGrid = In<QTableView>("VolgaDBGrid2");
  QAbstractItemModel* events = eventGrid->model();
  NavButton("DBNavigator2", "nbLast")->click();
  NavButton("DBNavigator2", "nbInsert")->click();
  const int row = eventGrid->currentIndex().row();
  EXPECT_EQ(row, 9);
  eventGrid->edit(events->index(row, 0));
  editor = eventGrid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maxLength(), 2);
  editor->setText("10x");
  NavButton("DBNavigator2", "nbPost")->click();
  EXPECT_TRUE(events->setData(events->index(row, 2), "Door Forced"));
  NavButton("DBNavigator2", "nbPost")->click();
  EXPECT_EQ(Column("SELECT fsEventDisplay FROM tEventMap WHERE fsEventFlag = '10'"), Strings{"Door Forced"});
  auto* list = In<QListWidget>("clbEvent");
  ASSERT_EQ(list->count(), 11);
  EXPECT_EQ(list->item(10)->text(), "  10  Door Forced");
  EXPECT_EQ(Ticked(), Strings{"00"}) << "a tick not yet saved is lost";

  // Delete asks first.
  ui.yesNoAnswers = {false, true};
  NavButton("DBNavigator2", "nbDelete")->click();
  EXPECT_EQ(list->count(), 11);
  NavButton("DBNavigator2", "nbDelete")->click();
  EXPECT_EQ(list->count(), 10);
  EXPECT_EQ(ui.Texts("yesno"), (Strings{"Delete record?", "Delete record?"}));
  // The table's refusal reaches the error box.
  NavButton("DBNavigator2", "nbInsert")->click();
  NavButton("DBNavigator2", "nbPost")->click();
  EXPECT_EQ(ui.Texts("error"), Strings{"Field 'fsEventFlag' must have a value"});
}

}  // namespace
}  // namespace korvo
