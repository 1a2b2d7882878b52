#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "config/ParamCatalogue.h"

namespace korvo {

class TParamTable;

// The state of one control of the parameter screen.
struct TControlState {
  const TControlSpec* spec = nullptr;
  int index = -1;           // List: -1 shows no selection
  bool checked = false;     // Flag
  std::int64_t number = 0;  // Number, within the control's range
  std::string text;         // Address, Text, Label
  bool enabled = true;
  bool visible = true;
  std::string hint;
};

// The parameter screen without its widgets: what every control shows, whether it is enabled and
// visible, and its hint. The screen's rules work on this, so that they run without a window; the
// window copies it into its widgets and reads the operator's changes back into it.
class THardwareForm {
 public:
  // Every control of the catalogue, empty, with its hint; COM0 and Relay 1 selected.
  THardwareForm();

  // Raises std::out_of_range for a name that is no control of the screen.
  TControlState& operator[](const std::string& name);
  const TControlState& operator[](const std::string& name) const;
  const std::map<std::string, TControlState>& Controls() const { return controls_; }

  int Index(const std::string& name) const { return (*this)[name].index; }
  // A position outside the list's entries shows no selection (-1).
  void SetIndex(const std::string& name, std::int64_t index);
  bool Checked(const std::string& name) const { return (*this)[name].checked; }
  void SetChecked(const std::string& name, bool checked) { (*this)[name].checked = checked; }
  std::int64_t Number(const std::string& name) const { return (*this)[name].number; }
  // Clamped to the control's range, as a spin box or a slider shows it.
  void SetNumber(const std::string& name, std::int64_t number);
  const std::string& Text(const std::string& name) const { return (*this)[name].text; }
  void SetText(const std::string& name, std::string text) { (*this)[name].text = std::move(text); }
  void Enable(const std::string& name, bool enabled) { (*this)[name].enabled = enabled; }
  void Show(const std::string& name, bool visible) { (*this)[name].visible = visible; }
  void SetHint(const std::string& name, std::string hint) { (*this)[name].hint = std::move(hint); }

  // The controls hold values of a terminal (read, or shown again by Reset) or the factory values
  // (Default): only then may they be sent. A failed read clears it, since the values shown are no
  // longer those of the current terminal.
  bool ValuesLoaded = false;

 private:
  std::map<std::string, TControlState> controls_;
};

// How ShowParams fills the controls.
enum class TShowMode {
  Read,   // after a read: every control also gets its hint
  Reset,  // the values last read again: hints stay, and the reject time falls back to 1
};

// The value of one parameter into its control(s), and back.
void ShowParam(THardwareForm& form, const TParamSpec& spec, const std::string& value, std::int64_t fallback);
std::string StoredValue(const THardwareForm& form, const TParamSpec& spec);

// The screen's rules.
void ShowParams(THardwareForm& form, const TParamTable& table, TShowMode mode);
void ShowDefaults(THardwareForm& form);
void SerialClick(THardwareForm& form, const TParamTable& table);
void RelayClick(THardwareForm& form, const TParamTable& table);
void Cb1Click(THardwareForm& form, const TParamTable& table);
// The host fields follow the online mode; the hidden delay box only when the operator changes it.
void OnlineChange(THardwareForm& form, bool withBioDelay);
void RevDirClick(THardwareForm& form);
void Idle3Change(THardwareForm& form);
// The operator picked an entry of cbBaud (parameter 19 or 31, by the serial port shown), cbMode1
// (20) or cbMode3 (21): the pick is stored at once, since Send leaves these parameters out.
void ListPicked(THardwareForm& form, TParamTable& table, const std::string& control);

// The relay boxes and active time of the relay selected into 211/209 or 212/210.
void StoreRelayMask(THardwareForm& form, TParamTable& table);
std::int64_t RelayMaskOf(const THardwareForm& form);
// Every control back into its entry, in the screen's store order, the relay and the reader bypass
// (16) included. 19, 20, 21 and 31 are stored when picked, not here.
void StoreParams(THardwareForm& form, TParamTable& table);
// The numbers StoreParams writes, in its order (StoreRelayMask stands for 0).
const std::vector<int>& StoreOrder();

// A fingerprint module value as read ("SFMPAR n" reply) into its control, and the command that
// sends the control's value.
void ApplyModuleValue(THardwareForm& form, int number, const std::string& reply);
std::string ModuleCommand(const THardwareForm& form, int number);

}  // namespace korvo
