#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "main/ui/ToolForm.h"

namespace Ui {
class TfLoading;
}

namespace korvo {

class TDM;
class TfMain;
class TMappingModel;

// The Data Loading Setup window's toolbar button and menu item.
void RegisterDataLoadingWindow(TfMain& main);

// The Data Loading Setup window: the upload configuration's fields, and the direction and event
// code maps edited in their grids. Each activation reads UPLOAD.CFG anew into the controls; OK
// writes them back, Cancel leaves everything as it was. Rows of the grids are stored when posted,
// whatever button closes the window.
class TfLoading : public TToolForm {
  Q_OBJECT
 public:
  explicit TfLoading(TDM& dm, QWidget* parent = nullptr);
  ~TfLoading() override;

  // The window stands in its child window now: it is activated, and again each time another child
  // window was active and this one becomes the active one.
  void Opened();
  void FormActivate();
  void cbTypeChange();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();
  void dsEventDataChange();

  struct TChosenFile {
    QString name;
    int filter = 0;  // index into the filters offered
  };
  // The save dialog of BitBtn3: the filters offered and the start folder; nothing when cancelled.
  std::function<std::optional<TChosenFile>(const QStringList& filters, const QString& folder)> SaveDialog;

 private:
  // FormCreate: the grids on their tables, and the event filter list.
  void FormCreate();
  // The event filter list from tEventMap, ticked from OutputEventFilter in memory.
  void FillEventList();
  void ShowNameOptions();
  std::optional<TChosenFile> RunSaveDialog(const QStringList& filters, const QString& folder);

  std::unique_ptr<Ui::TfLoading> ui_;
  TMappingModel* dirMap_ = nullptr;
  TMappingModel* eventMap_ = nullptr;
  // This window's child window is the active one.
  bool activeChild_ = false;
};

}  // namespace korvo
