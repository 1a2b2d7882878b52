#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvo {

// What a control of the parameter screen holds.
enum class TControlKind {
  List,     // a drop-down list or a radio group: the position of the chosen entry, -1 for none
  Flag,     // a check box
  Number,   // a spin box or a slider, clamped to its range
  Address,  // a dotted address in a grid of seven cells
  Text,     // an edit field
  Label,    // a text shown, not edited
};

// One control of the parameter screen.
struct TControlSpec {
  std::string name;
  TControlKind kind = TControlKind::Text;
  std::vector<std::string> items;  // List
  // Number: the range the control clamps to; a range of 0 to 0 means no limit.
  int minimum = 0;
  int maximum = 0;
  // Text: what the operator may type at most (0: no limit). A value read from a terminal is never
  // cut to it.
  int maxLength = 0;
  bool hiddenText = false;
};

// How a parameter's value and its control(s) turn into each other.
enum class TParamCoding {
  Index,         // the list position plus an offset
  Flag,          // "1" ticked, "0" clear
  Number,        // a decimal integer
  Address,       // dotted text
  Text,          // unchanged
  IdleMask,      // parameter 18: bit k is the position of one of three lists
  ReverseTimes,  // parameter 313: four HHMM times in a row
  RelayMask,     // parameters 211 and 212: one box per event
};

// One terminal parameter (or fingerprint module value) of the screen.
struct TParamSpec {
  int number = 0;
  // Page index 0 to 4; the fingerprint module values have none (-1).
  int page = -1;
  bool module = false;  // read and set with SFMPAR
  TParamCoding coding = TParamCoding::Text;
  // The control, for the codings with one; the idle mask, the times and the relay masks have several.
  std::string control;
  std::string caption;
  // The value is the list position plus this.
  int offset = 0;
  // Used when the entry does not read as an integer (also when it is empty).
  int fallback = 0;
  // The control's hint; empty when it has none.
  std::string hint;
  // What the Default button shows, as a value; none where Default leaves the control alone.
  std::optional<std::string> factory;
};

// Every control of the parameter screen that carries a value, with its kind, entries and limits.
const std::vector<TControlSpec>& ControlCatalogue();
const TControlSpec* FindControl(const std::string& name);

// The 55 parameters of the five pages and the five fingerprint module values.
const std::vector<TParamSpec>& ParamCatalogue();
// Null for a number the screen does not know.
const TParamSpec* FindParam(int number);
const TParamSpec* FindModuleParam(int number);

// The fingerprint module values, in the order they are read and in the order they are sent.
extern const std::vector<int> ModuleReadOrder;
extern const std::vector<int> ModuleSendOrder;

// The relay boxes: a box shows ticked when every bit of its mask is set in the relay's value.
struct TRelayBox {
  std::string control;
  std::string caption;
  std::int64_t mask = 0;
  int bit = 0;                      // the bit its hint names
  bool underAccessGranted = false;  // shown, and counted, only while "Access Granted" is ticked
};
const std::vector<TRelayBox>& RelayBoxes();

// The idle display lists of parameter 18, bit 0 to bit 2.
extern const std::vector<std::string> IdleControls;
// The four time fields of parameter 313.
extern const std::vector<std::string> ReverseTimeControls;

// The entry read as a decimal integer; the fallback when it is not one, also when it is empty.
std::int64_t IntegerOrFallback(const std::string& text, std::int64_t fallback);

}  // namespace korvo
