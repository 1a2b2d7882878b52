#pragma once

namespace korvo {

class TfMain;

// The terminal configuration windows: Hardware Configuration and Time & Date, and the start-up
// clock synchronisation.
void RegisterConfigToolWindows(TfMain& main);

}  // namespace korvo
