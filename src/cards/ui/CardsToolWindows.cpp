#include "cards/ui/CardsToolWindows.h"

#include <QApplication>

#include "cards/ui/Card.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"

namespace korvo {

void RegisterCardsToolWindows(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::Cardholders;
  entry.buttonName = "tbCard";
  entry.buttonText = "Cardholders";
  entry.buttonIcon = QStyle::SP_FileDialogDetailedView;
  entry.menu = TMainMenu::Setup;
  entry.itemName = "miCardholders";
  entry.itemText = "Cardholde&rs";
  entry.factory = [&dm] { return new TfCard(dm); };
  entry.prepare = [&dm](QWidget* w) {
    auto* card = static_cast<TfCard*>(w);
    card->SetHeading(QString::fromStdString(dm.Settings.CurLocation()));
    dm.Settings.SetSelectedAddr(dm.Settings.CurAddr());
    card->ShowCardholders();
    QApplication::processEvents();
  };
  // Another terminal chosen, whether it answered or not: the heading follows, and the page is shown
  // anew while it is the one showing.
  entry.follower = TFollower::Cardholders;
  entry.onPassed = [&dm](QWidget* w) {
    auto* card = static_cast<TfCard*>(w);
    card->SetHeading(QString::fromStdString(dm.Settings.CurLocation()));
    if (card->CardholdersShown()) card->pcCardChange();
    QApplication::processEvents();
  };
  entry.onFailed = entry.onPassed;
  main.AddToolWindow(entry);
}

}  // namespace korvo
