#include "config/ui/ConfigToolWindows.h"

#include "config/ui/DateTime.h"
#include "main/ui/MAIN.h"

namespace korvo {

void RegisterConfigToolWindows(TfMain& main) {
  RegisterDateTimeWindow(main);
}

}  // namespace korvo
