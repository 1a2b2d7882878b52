#pragma once

#include <memory>
#include <string>

#include "main/ui/ToolForm.h"

class QComboBox;
class QLabel;
class QTreeWidgetItem;

namespace Ui {
class TfMonitor;
}

namespace korvo {

class TDM;
class TfMain;
class TMonitorLookups;
class TOnlineReceiver;
struct TMonitorRow;

// The Online window's toolbar button and menu item.
void RegisterMonitorWindow(TfMain& main);

// The online monitor's window: while it is open, transactions that networked terminals report are
// stored and listed as they arrive, newest on top, with the cardholder's name, ID number and photo.
// It also lists the latest stored activities of one terminal or of all of them. The batches of the
// receiving threads are processed here, on the user-interface thread, one at a time.
class TfMonitor : public TToolForm {
  Q_OBJECT
 public:
  static constexpr int kMaxRows = 50;
  // Where the Online button's window listens: every interface; tests keep to the loopback address.
  static inline std::string BindAddress = "0.0.0.0";

  explicit TfMonitor(TDM& dm, QWidget* parent = nullptr);
  ~TfMonitor() override;

  // Reads the card digits of the selected terminal once, then starts listening on OnlinePort.
  void FormCreate();
  void FormShow();
  void cbTerminalChange(int index);
  void ListView1Click();
  void ListView1ColumnClick(int column);

  int CardDigits() const { return cardDigits_; }
  // The port listened on; 0 when listening failed.
  int ListeningPort() const;
  int SortColumn() const { return sortColumn_; }
  bool SortDescending() const { return descending_; }

 protected:
  void FormClose() override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Stores and shows the batches waiting; queued on the event loop by the receiving threads.
  void ProcessBatches();
  void ShowStoredActivities(const std::string* termNo);
  // The display of one transaction: the look-ups, the panel fields and a new row on top.
  void Display(const std::string& cardNo, const std::string& time, const std::string& functionCode,
               const std::string& termNo, const std::string& eventFlag, const std::string& dirFlag);
  void ShowFields(const TMonitorRow& row);
  void ShowPhoto(const std::string& cardNo);

  std::unique_ptr<Ui::TfMonitor> ui_;
  QComboBox* cbTerminal_ = nullptr;
  QLabel* lStatus_ = nullptr;
  std::unique_ptr<TMonitorLookups> lookups_;
  std::unique_ptr<TOnlineReceiver> receiver_;
  int cardDigits_ = 1;
  int sortColumn_ = -1;
  bool descending_ = false;
  bool processing_ = false;
  bool closeAsked_ = false;
  bool formClosed_ = false;
};

}  // namespace korvo
