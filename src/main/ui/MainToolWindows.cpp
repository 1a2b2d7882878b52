#include "main/ui/MainToolWindows.h"

#include "main/ui/Adm.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {

void RegisterMainToolWindows(TfMain& main) {
  TDM& dm = main.DM();
  // Administrator: the list is filled on opening and refilled when another terminal answers.
  TToolWindowEntry adm;
  adm.id = TToolWindow::Administrator;
  adm.buttonName = "tbAdm";
  adm.buttonText = "Administrator";
  adm.buttonIcon = QStyle::SP_FileDialogDetailedView;
  adm.menu = TMainMenu::Setup;
  adm.itemName = "miAdministrator";
  adm.itemText = "&Administrator";
  adm.factory = [&dm] { return new TfAdm(dm); };
  adm.prepare = [&dm](QWidget* w) {
    dm.Ui.ProcessMessages();
    static_cast<TfAdm*>(w)->FillList();
  };
  adm.follower = TFollower::Administrator;
  adm.onPassed = [](QWidget* w) { static_cast<TfAdm*>(w)->FillList(); };
  main.AddToolWindow(adm);
}

}  // namespace korvo
