#pragma once

namespace korvo {

class TfMain;

// The terminal utilities windows: Communication Setting and Direct Command. System Information opens
// from the About box.
void RegisterToolsToolWindows(TfMain& main);

}  // namespace korvo
