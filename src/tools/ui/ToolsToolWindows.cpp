#include "tools/ui/ToolsToolWindows.h"

#include "main/ui/MAIN.h"
#include "tools/ui/Communication.h"
#include "tools/ui/DirectComm.h"

namespace korvo {

void RegisterToolsToolWindows(TfMain& main) {
  RegisterDirectWindow(main);
  RegisterCommunicationWindow(main);
}

}  // namespace korvo
