#include "link/CommandText.h"
#include "link/Transports.h"
#include "store/DataMod.h"

// Transports not built yet answer every line as a silent terminal would.
namespace korvo {
namespace {
std::string AllSilent(const std::string& commandText) {
  std::vector<std::string> entries(SplitCommandLines(commandText).size(), kNoReply);
  return JoinTrimmedEntries(entries);
}
}  // namespace

std::string ModemTransport(TDM&, const TTerminalRow&, const std::string&, const std::string& commandText) {
  return AllSilent(commandText);
}

// Without the modem link there is never a call to keep up.
bool TDM::DialTerminal(const std::string&) { return false; }

}  // namespace korvo
