#include "config/ParamCatalogue.h"

#include <algorithm>
#include <charconv>
#include <climits>

namespace korvo {
namespace {

using TItems = std::vector<std::string>;

const TItems kBaud = {"9600", "19200", "115200"};
const TItems kReaderType = {"None", "Barcode", "Magnetic", "Wiegand"};
const TItems kSwipe = {"No Swipe Dir.", "-IN-> <-OUT-", "-OUT-> <-IN-", "-IN-> <-IN-", "-OUT-> <-OUT-"};

TControlSpec List(const char* name, TItems items) {
  return {name, TControlKind::List, std::move(items)};
}
TControlSpec Flag(const char* name) {
  return {name, TControlKind::Flag, {}};
}
TControlSpec Number(const char* name, int minimum, int maximum) {
  return {name, TControlKind::Number, {}, minimum, maximum};
}
TControlSpec Address(const char* name) {
  return {name, TControlKind::Address, {}};
}
TControlSpec Text(const char* name, int maxLength = 0, bool hidden = false) {
  return {name, TControlKind::Text, {}, 0, 0, maxLength, hidden};
}
TControlSpec Label(const char* name) {
  return {name, TControlKind::Label, {}};
}

std::vector<TControlSpec> MakeControls() {
  std::vector<TControlSpec> c = {
      // Communication
      List("rgSerial", {"COM0", "COM1"}),
      List("cbBaud", kBaud),
      List("cbMode1", {"Disabled", "Enabled"}),
      List("cbMode3", {"None", "Reader 1", "Reader 2", "Reader 1 + Printer", "Reader 2 + Printer"}),
      Label("Label20"),
      Label("Label87"),
      Flag("cbExcPeer"),
      Address("sgIP"),
      Address("sgGate"),
      Address("sgNet"),
      Address("sgPeer1"),
      Address("sgPeer2"),
      Number("sePort", 0, 65535),
      List("cbOnline", {"Disabled", "TCPIP Single", "TCPIP Multiple"}),
      Address("sgHost"),
      Number("seOnline", 1, 65536),
      Number("seBioDelay", 0, 0),
      // LCD
      List("cbDate", {"DD/MM/YY", "DD/MM", "DD MMM", "DDMMMYY", "MM/DD/YY", "MM/DD", "MMM DD", "YYMMMDD"}),
      List("cbTime", {"HH:MM WW DD/MM", "HH:MM DD/MM/YY"}),
      Number("seLength", 3, 16),
      List("cbIdle", {"Reader 1 Swipe Dir", "Reader 2 Swipe Dir"}),
      List("cbIdle2", {"Blank", "Record Count"}),
      List("cbIdle3", {"Swipe Direction", "User Defined String"}),
      Number("seID", 10, 65535),
      Text("edIdle"),
      Flag("cbRevDir"),
      // Inputs
      List("cbReader", kReaderType),
      List("cbSwipe", kSwipe),
      Number("seStart", 1, 36),
      List("cbReadExt", kReaderType),
      List("cbSwipeExt", kSwipe),
      Number("seReadStart", 1, 36),
      Flag("cbCW"),
      List("cbKey", {"Disabled", "Active No Table No TimeOut", "Active No Table With TimeOut",
                     "Active Table No TimeOut", "Active Table TimeOut", "Active No Table No Escape",
                     "Active Table No Escape"}),
      Number("seRFinger", 0, 10),
      List("cbIdDir", {"In", "Out", "Last - dir"}),
      Text("edPass1", 5, true),
      Text("edPass2", 5, true),
      Number("seDO", 0, 0),
      Text("edRexMsg", 16),
      Text("edDO2Lmsg", 16),
      Text("edFDMsg", 16),
      Number("seReject", 0, 24),
      Flag("cbND"),
      // OutPuts
      List("rgRelay", {"Relay 1", "Relay 2"}),
      Number("seDur", 1, 1000000),
      Number("seDur2", 1, 1000000),
      Label("Label9"),
      Text("ePrinter", 70),
      // Other
      List("cbAuthentication", {"Verification", "Identification", "Verification & Identification",
                                "Verification Without Keypad"}),
      List("cbReaderBypass",
           {"Disabled", "Reader 1 Bypass Finger", "Reader 2 Bypass Finger", "All Reader Bypass Finger"}),
      List("cbSecurityLevel", {"Very Low", "Low", "Medium", "High", "Very High"}),
      List("cbLightingMode", {"Outdoor", "Indoor"}),
      List("cbImageQuality", {"Weak", "Moderate", "Strong", "Strongest"}),
      Number("SlideSpeed", 0, 6),
      Number("SlideSensitive", 0, 7),
      Label("lFirmware"),
      Label("pDirect"),
  };
  for (int key = 1; key <= 8; ++key) c.push_back(Text(("edF" + std::to_string(key)).c_str()));
  for (const auto& name : ReverseTimeControls) c.push_back(Text(name.c_str(), 4));
  for (const auto& box : RelayBoxes()) c.push_back(Flag(box.control.c_str()));
  return c;
}

// The hint of the printer template lists the codes a template may hold.
const char* kPrinterHint =
    "#W name of day\n#D day\n#M month\n#C century\n#Y year\n#h hour\n#m minute\n#s second\n"
    "#T terminal number\n#n ID number\n#w swipe message\n#r record number\n#c carriage return\n"
    "#l line feed\n^ the same as #c#l\n#@xx the character with hexadecimal code xx\n"
    "#$ print the timed message\n(max 70 char and without dot)\nPAR 400";

struct TRow {
  int number;
  int page;
  TParamCoding coding;
  const char* control;
  const char* caption;
  int offset;
  int fallback;
  std::optional<std::string> factory;
};

std::vector<TParamSpec> MakeParams() {
  using C = TParamCoding;
  const std::vector<TRow> rows = {
      {19, 0, C::Index, "cbBaud", "COM0 baud rate", 0, 4, "4"},
      {20, 0, C::Index, "cbMode1", "COM0 RTS/CTS handshake", 0, 0, "0"},
      {21, 0, C::Index, "cbMode3", "COM0 mode", 0, 0, "0"},
      {27, 0, C::Flag, "cbExcPeer", "Excl Peer", 0, 0, "0"},
      {31, 0, C::Index, "cbBaud", "COM1 baud rate", 0, 4, std::nullopt},
      {201, 0, C::Address, "sgIP", "IP Address", 0, 0, "192.168.1.207"},
      {202, 0, C::Address, "sgGate", "Gateway", 0, 0, "0.0.0.0"},
      {203, 0, C::Address, "sgNet", "Net Mask", 0, 0, "255.255.255.0"},
      {204, 0, C::Address, "sgPeer1", "Peer 1", 0, 0, "0.0.0.0"},
      {205, 0, C::Address, "sgPeer2", "Peer 2", 0, 0, "0.0.0.0"},
      {206, 0, C::Number, "sePort", "TCP port", 0, 23, "23"},
      {30, 0, C::Index, "cbOnline", "Online mode", 0, 0, "0"},
      {213, 0, C::Address, "sgHost", "Online host", 0, 0, "0.0.0.0"},
      {214, 0, C::Number, "seOnline", "Online host port", 0, 80, "80"},
      {2, 1, C::Index, "cbDate", "Date format", 0, 1, "1"},
      {3, 1, C::Index, "cbTime", "Time and date display", 1, 1, "2"},
      {7, 1, C::Number, "seLength", "ID length", 0, 6, "6"},
      {18, 1, C::IdleMask, "", "Idle display (bit 0 reader, bit 1 record count, bit 2 user string)", 0, 1,
       "7"},
      {301, 1, C::Text, "edF1", "Message of key 1", 0, 0, "F1"},
      {302, 1, C::Text, "edF2", "Message of key 2", 0, 0, "F2"},
      {303, 1, C::Text, "edF3", "Message of key 3", 0, 0, "F3"},
      {304, 1, C::Text, "edF4", "Message of key 4", 0, 0, "F4"},
      {305, 1, C::Text, "edF5", "Message of key 5", 0, 0, "F5"},
      {306, 1, C::Text, "edF6", "Message of key 6", 0, 0, "F6"},
      {307, 1, C::Text, "edF7", "Message of key 7", 0, 0, "F7"},
      {308, 1, C::Text, "edF8", "Message of key 8", 0, 0, "F8"},
      {216, 1, C::Number, "seID", "ID display duration (ms)", 0, 0, "0"},
      {312, 1, C::Text, "edIdle", "Idle message", 0, 0, "Korvo2kBio"},
      {32, 1, C::Flag, "cbRevDir", "Reverse direction by time", 0, 0, "0"},
      {313, 1, C::ReverseTimes, "", "Reverse direction times (four HHMM)", 0, 0, "0200130021002300"},
      {4, 2, C::Index, "cbReader", "Reader 1 type", 0, 1, "1"},
      {5, 2, C::Index, "cbSwipe", "Reader 1 swipe direction", 0, 0, "0"},
      {6, 2, C::Number, "seStart", "Reader 1 start", 0, 1, "1"},
      {23, 2, C::Index, "cbReadExt", "Reader 2 type", 0, 1, "1"},
      {24, 2, C::Index, "cbSwipeExt", "Reader 2 swipe direction", 0, 1, "1"},
      {25, 2, C::Number, "seReadStart", "Reader 2 start", 0, 1, "1"},
      {12, 2, C::Flag, "cbCW", "Check Word", 0, 1, "1"},
      {13, 2, C::Index, "cbKey", "Function key mode", 0, 0, "1"},
      {14, 2, C::Number, "seRFinger", "Finger retries", 0, 3, "3"},
      {15, 2, C::Index, "cbIdDir", "Identify direction", 0, 0, "0"},
      {207, 2, C::Text, "edPass1", "General setup password", 0, 0, "38502"},
      {208, 2, C::Text, "edPass2", "Finger setup password", 0, 0, "61947"},
      {215, 2, C::Number, "seDO", "Maximum door open time (ms)", 0, 0, "8000"},
      {309, 2, C::Text, "edRexMsg", "REX message", 0, 0, "Open the Door!"},
      {310, 2, C::Text, "edDO2Lmsg", "Door open too long message", 0, 0, "Open too long!"},
      {311, 2, C::Text, "edFDMsg", "Forced door message", 0, 0, "Forced Door!!!"},
      {33, 2, C::Number, "seReject", "Reject time (hours)", 0, 0, "0"},
      {34, 2, C::Flag, "cbND", "No Double", 0, 1, "0"},
      {209, 3, C::Number, "seDur", "Relay 1 active time (ms)", 0, 2000, "2000"},
      {210, 3, C::Number, "seDur2", "Relay 2 active time (ms)", 0, 2000, std::nullopt},
      {211, 3, C::RelayMask, "", "Relay 1 events (mask)", 0, 0, "0"},
      {212, 3, C::RelayMask, "", "Relay 2 events (mask)", 0, 0, "0"},
      {400, 3, C::Text, "ePrinter", "Printer template", 0, 0, "#w #n #D/#M/#C#Y #h:#m:#s#E"},
      {29, 4, C::Index, "cbAuthentication", "Authentication mode", 1, 0, "1"},
      {16, 4, C::Index, "cbReaderBypass", "Reader bypass", 0, 0, "0"},
  };
  std::vector<TParamSpec> params;
  for (const auto& r : rows) {
    TParamSpec p;
    p.number = r.number;
    p.page = r.page;
    p.coding = r.coding;
    p.control = r.control;
    p.caption = r.caption;
    p.offset = r.offset;
    p.fallback = r.fallback;
    p.factory = r.factory;
    // The keypad passwords carry no hint; the other hints name the parameter.
    if (r.number != 207 && r.number != 208) p.hint = "PAR " + std::to_string(r.number);
    if (r.number == 400) p.hint = kPrinterHint;
    params.push_back(std::move(p));
  }
  struct TModuleRow {
    int number;
    const char* control;
    const char* caption;
    int offset;
    int fallback;
    const char* hint;
    const char* factory;
    TParamCoding coding;
  };
  const std::vector<TModuleRow> module = {
      {102, "cbSecurityLevel", "Security level", 3, 4, "SFMPAR 102", "5", C::Index},
      {144, "cbLightingMode", "Lighting mode", 0, 0, "PAR 144", "0", C::Index},
      {129, "cbImageQuality", "Image quality", 0, 0, "PAR 129", "1", C::Index},
      {147, "SlideSpeed", "Identification speed", 0, 0, "PAR 147", "6", C::Number},
      {128, "SlideSensitive", "Sensitivity", 0, 0, "PAR 128", "7", C::Number},
  };
  for (const auto& m : module) {
    TParamSpec p;
    p.number = m.number;
    p.module = true;
    p.coding = m.coding;
    p.control = m.control;
    p.caption = m.caption;
    p.offset = m.offset;
    p.fallback = m.fallback;
    p.hint = m.hint;
    p.factory = m.factory;
    params.push_back(std::move(p));
  }
  return params;
}

TRelayBox Box(const char* control, const char* caption, int bit, std::int64_t extra = 0, bool under = false) {
  return {control, caption, (std::int64_t{1} << bit) | extra, bit, under};
}

}  // namespace

const std::vector<int> ModuleReadOrder = {102, 144, 129, 147, 128};
const std::vector<int> ModuleSendOrder = {102, 144, 147, 129, 128};
const std::vector<std::string> IdleControls = {"cbIdle", "cbIdle2", "cbIdle3"};
const std::vector<std::string> ReverseTimeControls = {"meRD1", "meRD2", "meRD3", "meRD4"};

const std::vector<TRelayBox>& RelayBoxes() {
  static const std::vector<TRelayBox> boxes = {
      Box("cb1", "Access Granted", 0),
      Box("cb2", "Not In Axgroup", 1),
      Box("cb4", "Invalid Time", 2),
      Box("cb8", "Forced Door", 3),
      Box("cb16", "Rex Button Pressed", 4),
      Box("cb32", "Door Open", 5),
      Box("cb64", "Door Open too Long", 6),
      Box("cb128", "Finger Not Match", 7),
      Box("cb256", "Finger Not Found", 8),
      Box("cb512", "Finger Timeout", 9),
      Box("cbb24", "IN", 24, 0, true),
      Box("cbb25", "OUT", 25, 0, true),
      // FKEY and Aux stand for their own bit together with Access Granted and Not In Axgroup.
      Box("cbb26", "FKEY", 26, 1, true),
      Box("cbb27", "Aux", 27, 2),
  };
  return boxes;
}

const std::vector<TControlSpec>& ControlCatalogue() {
  static const std::vector<TControlSpec> controls = MakeControls();
  return controls;
}

const TControlSpec* FindControl(const std::string& name) {
  const auto& c = ControlCatalogue();
  auto it = std::find_if(c.begin(), c.end(), [&](const TControlSpec& s) { return s.name == name; });
  return it == c.end() ? nullptr : &*it;
}

const std::vector<TParamSpec>& ParamCatalogue() {
  static const std::vector<TParamSpec> params = MakeParams();
  return params;
}

const TParamSpec* FindParam(int number) {
  for (const auto& p : ParamCatalogue())
    if (!p.module && p.number == number) return &p;
  return nullptr;
}

const TParamSpec* FindModuleParam(int number) {
  for (const auto& p : ParamCatalogue())
    if (p.module && p.number == number) return &p;
  return nullptr;
}

std::int64_t IntegerOrFallback(const std::string& text, std::int64_t fallback) {
  // A decimal integer, optionally signed, and nothing else.
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last) return fallback;
  return value;
}

}  // namespace korvo
