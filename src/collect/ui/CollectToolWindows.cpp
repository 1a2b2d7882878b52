#include "collect/ui/CollectToolWindows.h"

#include "collect/ui/DataLoading.h"
#include "collect/ui/LoadData.h"
#include "collect/ui/Monitor.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterCollectToolWindows(TfMain& main) {
  RegisterLoadDataWindow(main);
  RegisterDataLoadingWindow(main);
  RegisterMonitorWindow(main);
}

}  // namespace korvo
