#pragma once

namespace korvo {

class TDM;

// The two switches of Setup > System. Each inverts its settings flag, saves the settings record at
// once and writes the new state to the log. They return the new state.
bool ToggleImmediateLoading(TDM& dm);
bool TogglePasswordRequired(TDM& dm);

}  // namespace korvo
