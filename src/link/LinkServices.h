#pragma once

#include <string>

#include "link/LinkContext.h"

namespace korvo {

// The terminal services behind the data module's methods of the same names.

// One command text to the terminal with this address; a silent terminal gives "--" entries. Raises
// TUnknownTerminalError, before any port or socket is opened, when no row has the address, and
// TConversationBusyError when called while another conversation runs. Afterwards `link.ReplyCut`
// tells whether some entry of the reply was cut short.
std::string SendCommand(TLinkContext& link, const std::string& address, const std::string& commandText);
// Template transfer over TCP/IP only; `fingerCount` is the number of "TYPE TMPTABLE" lines to read.
std::string SendNetCommand(TLinkContext& link, const std::string& address, const std::string& commandText,
                           int fingerCount = 0);
// `tcpPort`, the terminal's port, stands in for the echo where no ICMP socket may be opened.
bool PingHost(TLinkContext& link, const std::string& host, int tcpPort = 0);
// Makes sure the call to a modem address is up, or hangs up for any other address. Raises
// TUnknownTerminalError for a modem address that no row holds, and TConversationBusyError during a
// conversation.
bool DialTerminal(TLinkContext& link, const std::string& address);
std::string WaitModemReply(TLinkContext& link, const std::string& modemCommands);
// Both stop at their next command once a stop is requested: the values not read stay empty, the
// lines not sent add nothing.
std::string ReadParameters(TLinkContext& link, const std::string& address, const std::string& numberList);
// Parameter 7 of the terminal, the number of card digits: 1 when its value is no number.
int ReadCardDigits(TLinkContext& link, const std::string& address);
std::string SendCommandList(TLinkContext& link, const std::string& address, const std::string& commandLines);

}  // namespace korvo
