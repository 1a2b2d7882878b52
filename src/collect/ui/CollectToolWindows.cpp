#include "collect/ui/CollectToolWindows.h"

#include "collect/ui/DataLoading.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterCollectToolWindows(TfMain& main) {
  RegisterDataLoadingWindow(main);
}

}  // namespace korvo
