#include "collect/ui/CollectToolWindows.h"

#include "collect/ui/LoadData.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterCollectToolWindows(TfMain& main) {
  RegisterLoadDataWindow(main);
}

}  // namespace korvo
