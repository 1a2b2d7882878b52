#include "main/SystemSwitches.h"

#include <string>

#include "store/DataMod.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {
void SaveAndLog(TDM& dm, const std::string& what, bool state) {
  dm.SaveSettings();
  dm.WriteLog("Edit System : " + what + " = " + (state ? "True" : "False") + ".", true);
}
}  // namespace

bool ToggleImmediateLoading(TDM& dm) {
  bool state = !dm.Settings.ImmediateLoading();
  dm.Settings.SetImmediateLoading(state);
  SaveAndLog(dm, "Immediate Data Loading", state);
  return state;
}

bool TogglePasswordRequired(TDM& dm) {
  bool state = !dm.Settings.PasswordRequired();
  dm.Settings.SetPasswordRequired(state);
  SaveAndLog(dm, "Password Required", state);
  return state;
}

}  // namespace korvo
