#pragma once

#include <string>

namespace korvo {

struct TLinkContext;
struct TTerminalRow;

// The modem link state after the operator pressed Disconnect.
inline constexpr const char* kModemDisconnected = "Disconnect";
// The dial loop's countdown: seconds without a byte from the modem before dialling gives up.
inline constexpr int kDialCountDown = 60;
// However chatty the modem, dialling ends after this many seconds.
inline constexpr int kDialMostSeconds = 180;

// One command line over the call: pieces ending in CR, then polls until a stop token or the idle
// count runs out. Returns the reply as received.
std::string ModemExchange(TLinkContext& link, const TTerminalRow& row, const std::string& line);

// Hangs up: a second's pause, the escape sequence and reset, and the port closed.
void HangUpModem(TLinkContext& link);

// The modem window's Disconnect button: hangs up and leaves the link state "Disconnect", which
// ends a dial loop in progress.
void ModemDisconnect(TLinkContext& link);

}  // namespace korvo
