#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace korvo {

class TClock;
class TOperatorUi;
class T_QCCom32;
class TNetStream;
class TPinger;

// The terminal's row as the link found it: the transports read the address and port from it, the
// operator hooks name the terminal by its location.
struct TTerminalRow {
  std::string fsAddr;
  int fnPort = 0;
  std::string fsLocation;
};

// Everything the terminal link needs from the program around it, and the state it keeps between
// conversations. The data module owns one and wires it to its database, settings and job guard;
// tests build one without a database.
struct TLinkContext {
  TLinkContext(TClock& clock, TOperatorUi& ui, T_QCCom32& com) : Clock(clock), Ui(ui), Com(com) {}

  TClock& Clock;
  TOperatorUi& Ui;
  // The one serial port: the serial line opens and closes it around every command text, the modem
  // link keeps it open for the call.
  T_QCCom32& Com;

  // The row of the terminal with exactly this address, or nothing when there is none. Raises an
  // error when the row holds a port the link cannot use.
  std::function<std::optional<TTerminalRow>(const std::string& address)> FindTerminal;
  // The modem dialler's own look-up; empty means FindTerminal.
  std::function<std::optional<TTerminalRow>(const std::string& address)> FindDialTerminal;

  // The network link's platform parts; empty means real sockets. Tests put scripted ones in.
  std::function<std::unique_ptr<TNetStream>()> NetStreamFactory;
  std::shared_ptr<TPinger> Pinger;

  // The modem initialisation commands of the settings, sent before dialling when not empty.
  std::function<std::string()> ModemInit;
  // True when whoever started the running job asked it to stop; multi-command services look at it
  // before every command. Empty means never.
  std::function<bool()> StopRequested;

  // The phone number of the call in progress, "Disconnect" after the operator hung up, or empty.
  std::string ModemLinkState;
  // The terminal said "OK" to "TMPSAVE": the next template text is the template's bytes themselves,
  // which carry no command word of their own and must pass unconverted.
  bool TemplateBytesNext = false;
  // A conversation is running: window messages handled during it may not start another.
  bool Talking = false;
  // Some entry of the last command text was cut short: its overall time limit or size limit ran
  // out, the connection dropped in the middle of it, or its frames never arrived whole. Its text
  // then holds only part of the terminal's answer (or "--"), and must not be taken as complete.
  bool ReplyCut = false;
};

}  // namespace korvo
