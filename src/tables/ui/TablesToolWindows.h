#pragma once

namespace korvo {

class TfMain;

// The terminal tables window: toolbar button, Setup menu item and terminal-switch refresh.
void RegisterTablesToolWindows(TfMain& main);

}  // namespace korvo
