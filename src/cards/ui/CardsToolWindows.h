#pragma once

namespace korvo {

class TfMain;

// The "Cardholders and Activities" window: toolbar button tbCard and Setup > Cardholders.
void RegisterCardsToolWindows(TfMain& main);

}  // namespace korvo
