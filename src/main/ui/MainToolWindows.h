#pragma once

namespace korvo {

class TfMain;

// The tool windows of the main window's own subsystem (Administrator).
void RegisterMainToolWindows(TfMain& main);

}  // namespace korvo
