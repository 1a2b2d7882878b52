#include "collect/ui/DataLoading.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterDataLoadingWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::DataLoading;
  entry.buttonName = "tbLoading";
  entry.buttonText = "Setup Data Loading";
  entry.buttonIcon = QStyle::SP_FileDialogContentsView;
  entry.menu = TMainMenu::Setup;
  entry.itemName = "miDataLoading";
  entry.itemText = "&Data Loading";
  entry.factory = [&dm] { return new TfLoading(dm); };
  entry.prepare = [](QWidget* w) { static_cast<TfLoading*>(w)->Opened(); };
  main.AddToolWindow(entry);
}

}  // namespace korvo
