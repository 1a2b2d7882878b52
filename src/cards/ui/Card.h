#pragma once

#include <QImage>
#include <string>

#include "cards/CardPage.h"
#include "main/ui/ToolForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;

namespace korvo {

class TActivityBrowser;
class TCardListModel;

// "Cardholders and Activities". The page control pcCard holds tsCard ("Cardholders", below) and
// tsActivity ("Activities"), which the activity browser fills.
class TfCard final : public TToolForm {
  Q_OBJECT
 public:
  explicit TfCard(TDM& dm, QWidget* parent = nullptr);
  ~TfCard() override;

  // The heading pCard: the location the window works for; Send compares it with CurLocation.
  void SetHeading(const QString& location);
  QString Heading() const;
  bool CardholdersShown() const;
  void ShowCardholders();
  // Page show of the Cardholders page: cbHolder, the working terminal := SelectedAddr, its access
  // group, the list.
  void pcCardChange();
  QWidget* Activities() const { return tsActivity_; }
  TActivityBrowser& ActivityBrowser() { return *activities_; }
  const TCardPage& Page() const { return page_; }

 protected:
  void FormClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Rebuild(bool keepTicks = false);
  void FillLevels();
  void clbCardClick(int row);
  void Search(TCardSearch field, QLineEdit* edit);
  void cbHolderChange(int index);
  void bbAddClick();
  void bbDeleteClick();
  void bbSendClick();
  void ShowPhoto(const std::string& card);
  void CopyToClipboard1Click();
  void CutToClipboard1Click();
  void PasteFromClipboard1Click();

  TCardPage page_;
  TCardListModel* model_ = nullptr;
  QTabWidget* pcCard_ = nullptr;
  QWidget* tsCard_ = nullptr;
  QWidget* tsActivity_ = nullptr;
  TActivityBrowser* activities_ = nullptr;
  QLabel* pCard_ = nullptr;
  QTableView* clbCard_ = nullptr;
  QCheckBox* cbCard_ = nullptr;
  QLineEdit *eCard_ = nullptr, *eID_ = nullptr, *eName_ = nullptr, *mePIN_ = nullptr;
  QComboBox *cbAcs_ = nullptr, *cbPIN_ = nullptr, *cbHolder_ = nullptr;
  QListWidget* clbRelay_ = nullptr;
  QLabel* dbPhoto_ = nullptr;
  QImage photo_;
  QPushButton *bbAdd_ = nullptr, *bbDelete_ = nullptr, *bbSend_ = nullptr, *bbClose_ = nullptr;
};

}  // namespace korvo
