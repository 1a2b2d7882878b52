#pragma once

#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "main/ui/ToolForm.h"
#include "tables/ListOrder.h"
#include "tables/TablePages.h"

class QAbstractItemView;
class QCheckBox;
class QLineEdit;
class QTreeView;

namespace Ui {
class TfTable;
}

namespace korvo {

class TDM;
class TTableCardListModel;
struct TEditResult;
struct TBioPage;
template <class T>
class TTickListModel;

// The Tables window: the schedule tables and, per terminal, which of their rows and which
// cardholders belong to it, one page each. Every page shows the core's page model: its rows are
// records with ticks, the views only show them. SEND stores the page's list and uploads the
// terminal's file; on the Biometrics page SEND, Get and Remove move fingerprint templates. The list
// pages show the terminal of "As :", which starts as SelectedAddr each time such a page is entered.
class TfTable : public TToolForm {
  Q_OBJECT
 public:
  explicit TfTable(TDM& dm, QWidget* parent = nullptr);
  ~TfTable() override;

  // pTable: the location of the terminal last clicked in the main window; SEND and Get refuse to go
  // to another terminal than the one that answered there.
  void SetCaption(const std::string& location);
  std::string Caption() const;

  // The current page's rows again from the database with the ticks of its terminal's list; on a
  // list page "As :" is filled again and goes back to SelectedAddr. Unsent ticks are dropped.
  void pcTableChange();
  // "As :": the list page shows the lists of the terminal with the chosen location.
  void cbTableChange();

  void bbHAEClick();
  void bbHDelClick();
  void BitBtn2Click();
  void BitBtn1Click();
  void bbTTAEClick();
  void bbTTDelClick();
  void bbAAEClick();
  void bbADelClick();
  void bbMAEClick();
  void bbExpAEClick();
  void bbExpDelClick();
  void bbSendClick();
  void bbGetClick();
  void bbRemoveClick();
  void bbCloseClick();

  TTablePage Page() const;
  const TTablePageModel& Model() const { return model_; }
  const std::string& ListAddr() const { return listAddr_; }
  // The order of the four cardholder list views, one for the whole run.
  static TCardSort& ListSort();

 private:
  void CreateViews();
  void ConnectEditors();
  void ConnectLists();
  // Loads the page for its terminal; inside the window's job or one of its own, so that a close
  // waits for the progress notices of a long cardholder list.
  void LoadPage(bool resetListAddr);
  // The views after the rows were replaced or reordered, or changed in place.
  void ShowRows();
  void RefreshRows();
  void ShowAsBox();
  // The main window's meter, for the progress of a cardholder list.
  TProgressFn Progress();

  // What a click on a row (or a move onto it) puts into the page's editor.
  void RowClick(TTablePage page, QAbstractItemView* view, int row);
  void LevelClick(int row);
  void TimeTableClick(int row);
  // An editor's button: a refusal is shown as a warning; the page (or the time tables) is rebuilt.
  void EditorAction(const std::function<TEditResult()>& action);
  void TimeTableAction(const std::function<TEditResult()>& action);

  void CheckAll(TTablePage page, bool timeTables, bool ticked);
  void Reverse(TTablePage page);
  void ListHeaderClick(int section);
  void SectionClick(TTablePage page, int section);
  void Search(QLineEdit* box, QTreeView* view, TCardColumn column);

  std::vector<std::string> TickedCards() const;
  TBioPage BioPage();
  void ShowBioList(const std::string& address);

  bool eventFilter(QObject* watched, QEvent* event) override;

  std::unique_ptr<Ui::TfTable> ui_;
  TTablePageModel model_;
  std::string listAddr_;
  // Counts the loads of model_: a job's copy of the rows goes back only onto the rows it came from.
  int loads_ = 0;
  // The Message, ID <=> Card and Expired lists stay in the order of their texts once asked to.
  std::array<bool, kTablePageCount> sortedByText_{};

  TTickListModel<THoliday>* holidays_ = nullptr;
  TTickListModel<TAccessLevel>* levels_ = nullptr;
  TTickListModel<TTimeTable>* timeTables_ = nullptr;
  TTickListModel<TAlarm>* alarms_ = nullptr;
  TTickListModel<TCardRow>* messages_ = nullptr;
  TTickListModel<TCardRow>* idCards_ = nullptr;
  TTickListModel<TExpiry>* expiries_ = nullptr;
  std::vector<TTableCardListModel*> cardLists_;
  std::vector<QTreeView*> listViews_;
  std::vector<QLineEdit*> searchBoxes_;
};

}  // namespace korvo
