#include "tables/ui/TablesToolWindows.h"

#include <QPointer>

#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/SettingsRecord.h"
#include "tables/ui/Table.h"

namespace korvo {

void RegisterTablesToolWindows(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry tables;
  tables.id = TToolWindow::Tables;
  tables.buttonName = "tbTable";
  tables.buttonText = "Tables";
  tables.buttonIcon = QStyle::SP_FileDialogListView;
  tables.menu = TMainMenu::Setup;
  tables.itemName = "miTables";
  tables.itemText = "Tables";
  tables.factory = [&dm] { return new TfTable(dm); };
  // The button opens the window on the current terminal; the menu item leaves the panel as it is and
  // the window on the page it loaded for SelectedAddr when it was created.
  tables.prepare = [&dm](QWidget* w) {
    auto* window = static_cast<TfTable*>(w);
    window->SetCaption(dm.Settings.CurLocation());
    dm.Settings.SetSelectedAddr(dm.Settings.CurAddr());
    window->pcTableChange();
    dm.Ui.ProcessMessages();
  };
  tables.itemPrepare = [](QWidget*) {};
  // The window edits database records, so it follows the clicked terminal whether it answered or
  // not: SelectedAddr is the clicked one either way.
  tables.follower = TFollower::Tables;
  tables.onPassed = [&dm](QWidget* w) {
    auto* window = static_cast<TfTable*>(w);
    window->SetCaption(dm.Settings.CurLocation());
    window->pcTableChange();
    dm.Ui.ProcessMessages();
  };
  tables.onFailed = tables.onPassed;
  main.AddToolWindow(tables);
}

}  // namespace korvo
