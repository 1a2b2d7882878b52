#pragma once

#include <functional>
#include <string>

#include "store/DataMod.h"

namespace korvo {

// The two terminal services the identity check needs. By default they are the data module's own;
// a test or a demo may put a scripted terminal in their place.
struct TTerminalLink {
  std::function<std::string(const std::string& address, const std::string& commandText)> SendCommand;
  std::function<bool(const std::string& address)> DialTerminal;

  static TTerminalLink Of(TDM& dm) {
    return {[&dm](const std::string& a, const std::string& c) { return dm.SendCommand(a, c); },
            [&dm](const std::string& a) { return dm.DialTerminal(a); }};
  }
};

}  // namespace korvo
