#include "config/HardwareForm.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "config/ParamTable.h"
#include "store/TextCodec.h"

namespace korvo {
namespace {

constexpr int kRelay1Mask = 211;
constexpr int kRelay2Mask = 212;
constexpr int kRelay1Time = 209;
constexpr int kRelay2Time = 210;
constexpr int kRelayTimeFallback = 2000;
constexpr int kRejectTime = 33;
constexpr int kRejectTimeResetFallback = 1;

const char* kReverseTimeHints[] = {"PAR 313, $1-4 ", "PAR 313, $5-8", "PAR 313, $9-12", "PAR 313, $13-16"};

std::string BitHint(int param, int bit) {
  return "PAR " + std::to_string(param) + ", bit #" + std::to_string(bit);
}

// The parameters whose controls are filled by the serial port and relay rules instead.
bool ShownByRule(int number) {
  return number == 19 || number == 20 || number == 31 || number == kRelay1Time || number == kRelay2Time ||
         number == kRelay1Mask || number == kRelay2Mask;
}

void SetHints(THardwareForm& form, const TParamSpec& spec) {
  switch (spec.coding) {
    case TParamCoding::IdleMask:
      for (std::size_t bit = 0; bit < IdleControls.size(); ++bit)
        form.SetHint(IdleControls[bit], BitHint(spec.number, static_cast<int>(bit)));
      break;
    case TParamCoding::ReverseTimes:
      for (std::size_t k = 0; k < ReverseTimeControls.size(); ++k)
        form.SetHint(ReverseTimeControls[k], kReverseTimeHints[k]);
      break;
    case TParamCoding::RelayMask:
      break;
    default:
      form.SetHint(spec.control, spec.hint);
  }
}

int SelectedRelayParam(const THardwareForm& form) {
  switch (form.Index("rgRelay")) {
    case 0:
      return kRelay1Mask;
    case 1:
      return kRelay2Mask;
    default:
      return 0;
  }
}

void LoadRelayBoxes(THardwareForm& form, int param, std::int64_t mask, bool underAccessGranted) {
  for (const auto& box : RelayBoxes()) {
    if (box.underAccessGranted != underAccessGranted) continue;
    form.SetChecked(box.control, (mask & box.mask) == box.mask);
    form.SetHint(box.control, BitHint(param, box.bit));
  }
}

void ShowAccessGrantedBoxes(THardwareForm& form, bool visible) {
  form.Show("Label9", visible);
  for (const auto& box : RelayBoxes())
    if (box.underAccessGranted) form.Show(box.control, visible);
}

std::int64_t Mask(const TParamTable& table, int param) {
  return IntegerOrFallback(table[param], 0);
}

}  // namespace

THardwareForm::THardwareForm() {
  for (const auto& spec : ControlCatalogue()) controls_[spec.name].spec = &spec;
  for (const auto& spec : ParamCatalogue()) SetHints(*this, spec);
  SetIndex("rgSerial", 0);
  SetIndex("rgRelay", 0);
  (*this)["Label20"].text = "RTS/CTS :";
  (*this)["Label87"].text = "Mode :";
  SetHint("lFirmware", "GETVER");
  Show("seDur2", false);
  // The date format list and the online delay box are on the screen but never shown.
  Show("cbDate", false);
  Show("seBioDelay", false);
  // Spin boxes and sliders start at the bottom of their range.
  for (auto& [name, c] : controls_)
    if (c.spec->kind == TControlKind::Number) SetNumber(name, 0);
}

TControlState& THardwareForm::operator[](const std::string& name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw std::out_of_range("The parameter screen has no control " + name + ".");
  return it->second;
}

const TControlState& THardwareForm::operator[](const std::string& name) const {
  return const_cast<THardwareForm&>(*this)[name];
}

void THardwareForm::SetIndex(const std::string& name, std::int64_t index) {
  TControlState& c = (*this)[name];
  const auto count = static_cast<std::int64_t>(c.spec->items.size());
  c.index = index >= 0 && index < count ? static_cast<int>(index) : -1;
}

void THardwareForm::SetNumber(const std::string& name, std::int64_t number) {
  TControlState& c = (*this)[name];
  std::int64_t low = c.spec->minimum, high = c.spec->maximum;
  if (low == 0 && high == 0) {
    // No limit, as far as a spin box of the window can show.
    low = std::numeric_limits<int>::min();
    high = std::numeric_limits<int>::max();
  }
  c.number = std::clamp(number, low, high);
}

void ShowParam(THardwareForm& form, const TParamSpec& spec, const std::string& value, std::int64_t fallback) {
  const std::int64_t n = IntegerOrFallback(value, fallback);
  switch (spec.coding) {
    case TParamCoding::Index:
      // Subtracting in a wide type: a huge value is outside every list, never a wrapped position.
      form.SetIndex(spec.control,
                    n < std::numeric_limits<std::int64_t>::min() + spec.offset ? -1 : n - spec.offset);
      break;
    case TParamCoding::Flag:
      form.SetChecked(spec.control, n == 1);
      break;
    case TParamCoding::Number:
      form.SetNumber(spec.control, n);
      break;
    case TParamCoding::Address:
    case TParamCoding::Text:
      form.SetText(spec.control, value);
      break;
    case TParamCoding::IdleMask:
      for (std::size_t bit = 0; bit < IdleControls.size(); ++bit)
        form.SetIndex(IdleControls[bit], (n >> bit) & 1);
      break;
    case TParamCoding::ReverseTimes:
      for (std::size_t k = 0; k < ReverseTimeControls.size(); ++k)
        form.SetText(ReverseTimeControls[k], 4 * k < value.size() ? value.substr(4 * k, 4) : std::string());
      break;
    case TParamCoding::RelayMask:
      LoadRelayBoxes(form, spec.number, n, false);
      LoadRelayBoxes(form, spec.number, n, true);
      break;
  }
}

std::string StoredValue(const THardwareForm& form, const TParamSpec& spec) {
  switch (spec.coding) {
    case TParamCoding::Index:
      return std::to_string(form.Index(spec.control) + spec.offset);
    case TParamCoding::Flag:
      return form.Checked(spec.control) ? "1" : "0";
    case TParamCoding::Number:
      return std::to_string(form.Number(spec.control));
    case TParamCoding::Address:
    case TParamCoding::Text:
      return form.Text(spec.control);
    case TParamCoding::IdleMask: {
      int mask = 0;
      for (std::size_t bit = 0; bit < IdleControls.size(); ++bit)
        mask += form.Index(IdleControls[bit]) << bit;
      return std::to_string(mask);
    }
    case TParamCoding::ReverseTimes: {
      std::string joined;
      for (const auto& name : ReverseTimeControls) joined += form.Text(name);
      return joined;
    }
    case TParamCoding::RelayMask:
      return std::to_string(RelayMaskOf(form));
  }
  return {};
}

void ShowParams(THardwareForm& form, const TParamTable& table, TShowMode mode) {
  for (const auto& spec : ParamCatalogue()) {
    if (spec.module || ShownByRule(spec.number)) continue;
    std::int64_t fallback = spec.fallback;
    if (mode == TShowMode::Reset && spec.number == kRejectTime) fallback = kRejectTimeResetFallback;
    ShowParam(form, spec, table[spec.number], fallback);
    if (mode == TShowMode::Read) SetHints(form, spec);
  }
  form.SetIndex("rgSerial", 0);
  SerialClick(form, table);
  OnlineChange(form, false);
  Idle3Change(form);
  RevDirClick(form);
  form.SetIndex("rgRelay", 0);
  form.SetNumber("seDur", IntegerOrFallback(table[kRelay1Time], kRelayTimeFallback));
  form.SetNumber("seDur2", IntegerOrFallback(table[kRelay2Time], kRelayTimeFallback));
  RelayClick(form, table);
}

void ShowDefaults(THardwareForm& form) {
  for (const auto& spec : ParamCatalogue()) {
    if (!spec.factory || spec.number == 31 || spec.coding == TParamCoding::RelayMask) continue;
    ShowParam(form, spec, *spec.factory, spec.fallback);
  }
  // COM0, without loading its lists from the values read: they show their factory entries.
  form.SetIndex("rgSerial", 0);
  for (const char* name : {"Label20", "Label87", "cbMode1", "cbMode3"}) form.Show(name, true);
  form.SetText("Label20", "RTS/CTS :");
  form.SetIndex("rgRelay", 0);
  for (const auto& box : RelayBoxes()) form.SetChecked(box.control, false);
  ShowAccessGrantedBoxes(form, false);
  form.Show("seDur", true);
  form.Show("seDur2", false);
  form.SetText("lFirmware", "Not Available");
  OnlineChange(form, false);
  RevDirClick(form);
  form.ValuesLoaded = true;
}

void SerialClick(THardwareForm& form, const TParamTable& table) {
  const int port = form.Index("rgSerial");
  if (port < 0) return;
  const bool com0 = port == 0;
  for (const char* name : {"Label20", "Label87", "cbMode1", "cbMode3"}) form.Show(name, com0);
  if (com0) {
    form.SetText("Label20", "RTS/CTS :");
    form.SetHint("cbMode3", "PAR 21");
    form.SetIndex("cbMode1", IntegerOrFallback(table[20], 0));
    form.SetHint("cbMode1", "PAR 20");
  }
  const int baud = com0 ? 19 : 31;
  form.SetIndex("cbBaud", IntegerOrFallback(table[baud], 4));
  form.SetHint("cbBaud", "PAR " + std::to_string(baud));
}

void RelayClick(THardwareForm& form, const TParamTable& table) {
  const int param = SelectedRelayParam(form);
  if (param == 0) return;
  const std::int64_t mask = Mask(table, param);
  LoadRelayBoxes(form, param, mask, false);
  const bool accessGranted = form.Checked("cb1");
  ShowAccessGrantedBoxes(form, accessGranted);
  if (accessGranted) LoadRelayBoxes(form, param, mask, true);
  const bool relay1 = param == kRelay1Mask;
  const char* shown = relay1 ? "seDur" : "seDur2";
  const int time = relay1 ? kRelay1Time : kRelay2Time;
  form.Show("seDur", relay1);
  form.Show("seDur2", !relay1);
  form.SetNumber(shown, IntegerOrFallback(table[time], kRelayTimeFallback));
  form.SetHint(shown, "PAR " + std::to_string(time));
}

void Cb1Click(THardwareForm& form, const TParamTable& table) {
  const bool ticked = form.Checked("cb1");
  ShowAccessGrantedBoxes(form, ticked);
  const int param = SelectedRelayParam(form);
  if (ticked && param != 0) LoadRelayBoxes(form, param, Mask(table, param), true);
}

void OnlineChange(THardwareForm& form, bool withBioDelay) {
  const bool online = form.Index("cbOnline") != 0;
  form.Enable("sgHost", online);
  form.Enable("seOnline", online);
  if (withBioDelay) form.Enable("seBioDelay", online);
}

void RevDirClick(THardwareForm& form) {
  for (const auto& name : ReverseTimeControls) form.Enable(name, form.Checked("cbRevDir"));
}

void Idle3Change(THardwareForm& form) {
  const bool userString = form.Index("cbIdle3") == 1;
  form.Enable("edIdle", userString);
  form.Enable("cbIdle", !userString);
  form.Enable("cbIdle2", !userString);
}

void ListPicked(THardwareForm& form, TParamTable& table, const std::string& control) {
  int param = 0;
  if (control == "cbBaud") {
    const int port = form.Index("rgSerial");
    param = port == 0 ? 19 : port == 1 ? 31 : 0;
  } else if (control == "cbMode1") {
    param = 20;
  } else if (control == "cbMode3") {
    param = 21;
  }
  if (param != 0) table.Set(param, std::to_string(form.Index(control)));
}

std::int64_t RelayMaskOf(const THardwareForm& form) {
  const bool accessGranted = form.Checked("cb1");
  std::int64_t mask = 0;
  for (const auto& box : RelayBoxes())
    if (form.Checked(box.control) && (accessGranted || !box.underAccessGranted)) mask |= box.mask;
  return mask;
}

void StoreRelayMask(THardwareForm& form, TParamTable& table) {
  const int param = SelectedRelayParam(form);
  if (param == 0) return;
  ShowAccessGrantedBoxes(form, form.Checked("cb1"));
  table.Set(param, std::to_string(RelayMaskOf(form)));
  const bool relay1 = param == kRelay1Mask;
  form.Show("seDur", relay1);
  form.Show("seDur2", !relay1);
  table.Set(relay1 ? kRelay1Time : kRelay2Time, std::to_string(form.Number(relay1 ? "seDur" : "seDur2")));
}

const std::vector<int>& StoreOrder() {
  static const std::vector<int> order = {201, 202, 203, 204, 205, 206, 27,  30,  213, 214, 2,   3,
                                         7,   18,  216, 312, 301, 302, 303, 304, 305, 306, 307, 308,
                                         32,  313, 4,   5,   6,   23,  24,  25,  12,  13,  14,  15,
                                         207, 208, 309, 310, 311, 215, 33,  34,  0,   400, 29,  16};
  return order;
}

void StoreParams(THardwareForm& form, TParamTable& table) {
  for (int number : StoreOrder()) {
    if (number == 0)
      StoreRelayMask(form, table);
    else
      table.Set(number, StoredValue(form, *FindParam(number)));
  }
}

void ApplyModuleValue(THardwareForm& form, int number, const std::string& reply) {
  const TParamSpec* spec = FindModuleParam(number);
  if (!spec)
    throw std::out_of_range("The fingerprint module has no value " + std::to_string(number) + " here.");
  ShowParam(form, *spec, TrimControl(reply), spec->fallback);
}

std::string ModuleCommand(const THardwareForm& form, int number) {
  const TParamSpec* spec = FindModuleParam(number);
  if (!spec)
    throw std::out_of_range("The fingerprint module has no value " + std::to_string(number) + " here.");
  return "SFMPAR " + std::to_string(number) + " " + StoredValue(form, *spec);
}

}  // namespace korvo
