#include "collect/ui/Monitor.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterMonitorWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::Online;
  entry.buttonName = "tbOnline";
  entry.buttonText = "Online";
  entry.buttonIcon = QStyle::SP_DriveNetIcon;
  entry.menu = TMainMenu::Tools;
  entry.itemName = "miOnline";
  entry.itemText = "&Online";
  entry.factory = [&dm] { return new TfMonitor(dm); };
  entry.prepare = [](QWidget* w) {
    auto* monitor = static_cast<TfMonitor*>(w);
    monitor->FormCreate();
    monitor->FormShow();
  };
  main.AddToolWindow(entry);
}

}  // namespace korvo
