#include <QAction>

#include "collect/ui/LoadData.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"

namespace korvo {

void RegisterLoadDataWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::LoadData;
  entry.buttonName = "tbLoad";
  entry.buttonText = "Load Data";
  entry.buttonIcon = QStyle::SP_ArrowDown;
  entry.menu = TMainMenu::Tools;
  entry.itemName = "miLoadData";
  entry.itemText = "&Load Data";
  entry.factory = [&main, &dm] {
    TLoadDataFrame frame;
    frame.LoadButtonDown = [&main] {
      QAction* button = main.ToolWindows().Button(TToolWindow::LoadData);
      return button && button->isChecked();
    };
    frame.ImmediateLoadAborted = [&main] { main.SetImmediateLoadAborted(true); };
    frame.EndProgram = [&main] { main.close(); };
    return new TfLoadData(dm, std::move(frame));
  };
  entry.prepare = [&dm](QWidget* w) { static_cast<TfLoadData*>(w)->ShowLocation(dm.Settings.CurLocation()); };
  entry.follower = TFollower::LoadData;
  entry.onPassed = entry.prepare;
  main.AddToolWindow(entry);

  // Opened as by tbLoad, then the countdown of the unattended download.
  main.OpenImmediateLoading = [&main] {
    TToolWindows& tools = main.ToolWindows();
    QAction* button = tools.Button(TToolWindow::LoadData);
    if (!tools.IsOpen(TToolWindow::LoadData) && button) button->trigger();
    if (auto* window = tools.As<TfLoadData>(TToolWindow::LoadData)) window->StartCountDown();
  };
}

}  // namespace korvo
