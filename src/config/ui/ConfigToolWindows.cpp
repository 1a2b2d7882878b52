#include "config/ui/ConfigToolWindows.h"

#include "main/ui/MAIN.h"

namespace korvo {

void RegisterConfigToolWindows(TfMain& main) {
  (void)main;
}

}  // namespace korvo
