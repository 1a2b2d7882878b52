#include "link/CommandText.h"
#include "link/LinkErrors.h"
#include "link/LinkServices.h"
#include "link/TerminalRow.h"
#include "link/Transports.h"
#include "store/Cp1252.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

// Holds the shared port for one conversation and tells the operator hooks when it ends, on every way
// out.
class TTalk {
 public:
  TTalk(TLinkContext& link, const TTerminalRow& row) : link_(link) {
    link_.Talking = true;
    try {
      link_.Ui.TalkStarted(TerminalLabel(row));
    } catch (...) {
      link_.Talking = false;
      throw;
    }
  }
  ~TTalk() {
    link_.Talking = false;
    link_.Ui.TalkEnded();
  }
  TTalk(const TTalk&) = delete;
  TTalk& operator=(const TTalk&) = delete;

 private:
  TLinkContext& link_;
};

}  // namespace

std::string SendCommand(TLinkContext& link, const std::string& address, const std::string& commandText) {
  if (link.Talking) throw TConversationBusyError();
  std::optional<TTerminalRow> row = link.FindTerminal ? link.FindTerminal(address) : std::nullopt;
  if (!row) throw TUnknownTerminalError(address);
  TTalk talk(link, *row);
  link.ReplyCut = false;
  // The terminal line carries Windows-1252; template data are bytes and pass as they are.
  const bool binary = PassesUnconverted(commandText);
  const std::string wireText = binary ? commandText : Utf8ToCp1252(commandText);
  std::string joined;
  if (Contains(address, "-"))
    joined = ModemTransport(link, *row, address, wireText);
  else if (!Contains(address, "."))
    joined = SerialTransport(link, *row, address, wireText);
  else
    joined = NetTransport(link, *row, address, wireText);
  std::string reply = ApplyCrLfRule(std::move(joined), wireText);
  return binary ? reply : Cp1252ToUtf8(reply);
}

}  // namespace korvo
