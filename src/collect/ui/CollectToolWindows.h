#pragma once

namespace korvo {

class TfMain;

// The transaction collection windows.
void RegisterCollectToolWindows(TfMain& main);

}  // namespace korvo
