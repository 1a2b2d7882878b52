#include "link/CommandText.h"
#include "link/Transports.h"
#include "store/DataMod.h"

namespace korvo {

std::string TDM::SendCommand(const std::string& address, const std::string& commandText) {
  // TermQry is shared: it is closed on every way out, also when a transport raises an error.
  struct TCloser {
    TQuery& q;
    ~TCloser() { q.Close(); }
  } closer{TermQry};
  OpenAndSeek(TermQry, "tTerminals", address, "fsAddr");
  TTerminalRow row;
  if (!TermQry.IsEmpty()) {
    row.fsAddr = TermQry.FieldByName("fsAddr").AsString();
    row.fnPort = static_cast<int>(TermQry.FieldByName("fnPort").AsInteger());
  }
  std::string joined;
  if (Contains(address, "-"))
    joined = ModemTransport(*this, row, address, commandText);
  else if (!Contains(address, "."))
    joined = SerialTransport(*this, row, address, commandText);
  else
    joined = NetTransport(*this, row, address, commandText);
  return ApplyCrLfRule(std::move(joined), commandText);
}

}  // namespace korvo
