#include "main/ui/Adm.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

// The tool windows of the main window. Each adds its factory, its toolbar button and menu item
// (their places follow the order of TToolWindow) and what it does when the current terminal changes.
namespace korvo {

void TfMain::RegisterToolWindows() {
  // Administrator: the list is filled on opening and refilled when another terminal answers.
  tools_.SetFactory(TToolWindow::Administrator,
                    [this] { return new TfAdm(dm_, [this] { tools_.Closed(TToolWindow::Administrator); }); });
  auto prepareAdm = [this](QWidget* w) {
    dm_.Ui.ProcessMessages();
    static_cast<TfAdm*>(w)->FillList();
  };
  AddToolButton(TToolWindow::Administrator, "tbAdm", "Administrator", QStyle::SP_FileDialogDetailedView,
                prepareAdm);
  AddMenuItem(setupMenu_, TToolWindow::Administrator, "miAdministrator", "&Administrator", prepareAdm);
  followers_.Set(TFollower::Administrator, [this] {
    if (auto* adm = tools_.As<TfAdm>(TToolWindow::Administrator)) adm->FillList();
  });
}

}  // namespace korvo
