#include "config/TerminalClock.h"
#include "config/ui/DateTime.h"
#include "main/ui/MAIN.h"
#include "store/DataMod.h"

namespace korvo {

void RegisterDateTimeWindow(TfMain& main) {
  TDM& dm = main.DM();
  TToolWindowEntry entry;
  entry.id = TToolWindow::TimeDate;
  entry.buttonName = "tbTime";
  entry.buttonText = "Set Date & Time";
  entry.buttonIcon = QStyle::SP_BrowserReload;
  entry.menu = TMainMenu::Tools;
  entry.itemName = "miTimeDate";
  entry.itemText = "&Time && Date";
  entry.factory = [&dm] { return new TfDateTime(dm); };
  entry.prepare = [](QWidget* w) { static_cast<TfDateTime*>(w)->ShowCurrentTerminal(); };
  entry.follower = TFollower::TimeDate;
  entry.onPassed = [](QWidget* w) { static_cast<TfDateTime*>(w)->FollowCurrentTerminal(); };
  main.AddToolWindow(entry);

  // A job of its own, so that nothing else talks to a terminal meanwhile.
  main.SynchronizeAllTerminals = [&dm] {
    TJobs::TGuard job = dm.Jobs.Start("Synchronize Time");
    if (job) korvo::SynchronizeAllTerminals(ClockJobOf(dm));
  };
}

}  // namespace korvo
