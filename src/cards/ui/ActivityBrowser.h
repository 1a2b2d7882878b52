#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

#include "cards/ActivityQuery.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace korvo {

class TActivityModel;
class TDM;
class TToolForm;

// The Activities page of the cardholder window: the activity grid vActivity with its filter fields,
// View, Delete and Save on the sub-page "Filter && Saving", and the backup reload on "Reload Backup
// File". It fills the page widget it is given; the window owns it.
class TActivityBrowser final : public QObject {
  Q_OBJECT
 public:
  // `guarded` runs an operator action, showing an error in the error box; delete and reload run as
  // jobs of `form`.
  TActivityBrowser(TDM& dm, TToolForm& form, QWidget* page,
                   std::function<void(const std::function<void()>&)> guarded);

  // Page show: the event and location lists anew with "None" chosen, the list by the card and time
  // fields, the backup files and the output hint.
  void pcCardChange();
  void bbViewClick();
  void vActivityTitleClick(int column);
  void bbDelClick();
  void bbSaveClick();
  void bbReloadClick();

  const TActivityModel& Model() const { return *model_; }

  struct TChosenFile {
    QString name;
    int filter = 0;  // index into the filters offered
  };
  // The save dialog of bbSave, offered the filters in order; nothing when cancelled.
  std::function<std::optional<TChosenFile>(const QStringList& filters)> SaveDialog;

 private:
  void BuildFilterPage(QWidget* page);
  void BuildReloadPage(QWidget* page);
  TActivityFilter Fields() const;
  std::optional<TChosenFile> RunSaveDialog(const QStringList& filters);

  TDM& dm_;
  TToolForm& form_;
  QWidget* page_;
  std::function<void(const std::function<void()>&)> guarded_;
  TActivityModel* model_ = nullptr;
  QTableView* vActivity_ = nullptr;
  QTabWidget* pcActivity_ = nullptr;
  QLineEdit *eCardFr_ = nullptr, *eCardTo_ = nullptr, *meTimeFr_ = nullptr, *meTimeTo_ = nullptr;
  QComboBox *lbEvent_ = nullptr, *cbLocation_ = nullptr, *cbFile_ = nullptr;
  QPushButton *bbView_ = nullptr, *bbDel_ = nullptr, *bbSave_ = nullptr, *bbReload_ = nullptr;
  QCheckBox *cbActivity_ = nullptr, *cbOut_ = nullptr;
  QProgressBar* vmOut_ = nullptr;
};

}  // namespace korvo
