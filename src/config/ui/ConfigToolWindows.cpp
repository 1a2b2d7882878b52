#include "config/ui/ConfigToolWindows.h"

#include <QPointer>

#include "config/ui/Configuration.h"
#include "config/ui/DateTime.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

// Hardware Configuration: the current terminal is read on opening and again whenever another
// terminal answers the identity check.
void RegisterHardwareWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry hardware;
  hardware.id = TToolWindow::Hardware;
  hardware.buttonName = "tbHardware";
  hardware.buttonText = "Hardware Configuration";
  hardware.buttonIcon = QStyle::SP_ComputerIcon;
  hardware.menu = TMainMenu::Hardware;
  hardware.itemName = "miConfiguration";
  hardware.itemText = "&Configuration";
  hardware.factory = [&dm] { return new TfHardware(dm); };
  hardware.prepare = [&dm](QWidget* w) {
    QPointer<TfHardware> window = static_cast<TfHardware*>(w);
    dm.Ui.ProcessMessages();
    // The operator may have closed it again meanwhile.
    if (window) window->RunJob("Reading the parameters", [window] { window->ReadTerminalParams(); });
  };
  hardware.follower = TFollower::Hardware;
  hardware.onPassed = [](QWidget* w) {
    auto* window = static_cast<TfHardware*>(w);
    window->JoinJob([window] { window->ReadTerminalParams(); });
  };
  main.AddToolWindow(hardware);
}

}  // namespace

void RegisterConfigToolWindows(TfMain& main) {
  RegisterHardwareWindow(main);
  RegisterDateTimeWindow(main);
}

}  // namespace korvo
