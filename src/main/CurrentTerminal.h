#pragma once

#include <string>

#include "main/TerminalFollowers.h"
#include "main/TerminalLink.h"

namespace korvo {

class TDM;

// The address a tree label carries: the text after the last " [" (a label without one: after the
// last "["), without its last character, the closing "]".
std::string LabelAddress(const std::string& label);

// Makes the terminal of a tree label current: CurAddr, and from its tTerminals row CurTermNo,
// CurLocation and CurPort (kept as they are when there is no row). An empty label clears CurAddr
// and CurLocation. Nothing is sent to the terminal.
void SelectTerminal(TDM& dm, const std::string& label);

enum class TClickResult { Passed, Failed, Refused };

// A click on a tree node: the terminal becomes current and must answer "GETVER" with "KORVO" in
// its reply (in any letter case). SelectedAddr always follows the click; when the check fails, the
// warning "Can't access to " + location is shown and the last terminal that answered becomes
// current again. The open tool windows follow through `followers`. The click is a terminal job of
// its own: while another job runs it is refused with a beep, sends nothing and changes nothing.
TClickResult TerminalClick(TDM& dm, const std::string& label, const TTerminalLink& link,
                           const TTerminalFollowers& followers);

}  // namespace korvo
