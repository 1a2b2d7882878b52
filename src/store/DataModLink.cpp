#include "link/LinkServices.h"
#include "link/TerminalRow.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"

namespace korvo {

void TDM::WireLink() {
  Link.ModemLinkState.clear();
  // SendCommand's look-up uses the shared TermQry and leaves it closed.
  Link.FindTerminal = [this](const std::string& address) {
    struct TCloser {
      TQuery& q;
      ~TCloser() { q.Close(); }
    } closer{TermQry};
    return FindTerminalRow(TermQry, address);
  };
  // The dialler looks with the auxiliary query, which stays open.
  Link.FindDialTerminal = [this](const std::string& address) {
    if (AuxQry) return FindTerminalRow(*AuxQry, address);
    TQuery local(ADOC);
    return FindTerminalRow(local, address);
  };
  Link.ModemInit = [this] { return Settings.ModemInit(); };
  Link.StopRequested = [this] { return Jobs.StopRequested(); };
}

std::optional<TTerminalRow> TDM::FindTerminalRow(TQuery& query, const std::string& address) {
  if (!OpenAndSeek(query, "tTerminals", address, "fsAddr")) return std::nullopt;
  return CheckedTerminalRow(query.FieldByName("fsAddr").AsString(),
                            query.FieldByName("fsLocation").AsString(),
                            query.FieldByName("fnPort").AsInteger());
}

std::string TDM::SendCommand(const std::string& address, const std::string& commandText) {
  return korvo::SendCommand(Link, address, commandText);
}
std::string TDM::SendNetCommand(const std::string& address, const std::string& commandText, int fingerCount) {
  return korvo::SendNetCommand(Link, address, commandText, fingerCount);
}
bool TDM::PingHost(const std::string& host, int tcpPort) {
  return korvo::PingHost(Link, host, tcpPort);
}
bool TDM::DialTerminal(const std::string& address) {
  return korvo::DialTerminal(Link, address);
}
std::string TDM::WaitModemReply(const std::string& modemCommands) {
  return korvo::WaitModemReply(Link, modemCommands);
}
std::string TDM::ReadParameters(const std::string& address, const std::string& numberList) {
  return korvo::ReadParameters(Link, address, numberList);
}
std::string TDM::SendCommandList(const std::string& address, const std::string& commandLines) {
  return korvo::SendCommandList(Link, address, commandLines);
}

}  // namespace korvo
