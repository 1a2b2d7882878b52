#include "config/ParamSend.h"

#include <exception>

#include "config/HardwareForm.h"
#include "config/ParamCatalogue.h"
#include "config/ParamTable.h"
#include "link/LinkServices.h"
#include "store/OperatorUi.h"
#include "store/TerminalList.h"

namespace korvo {

const char* const kSendRefused =
    "Nothing was sent: the values shown were not read from this terminal. Read the terminal again, or "
    "press Default, before sending.";

std::string ParamCommandLines(const TParamTable& table, const std::vector<int>& numbers) {
  std::string lines;
  for (int n : numbers) lines += "PAR " + std::to_string(n) + " " + table[n] + "\r\n";
  return lines;
}

bool SendToTerminals(TLinkContext& link, const std::vector<std::string>& targets, const std::string& lines,
                     const TSendProgress& progress) {
  if (progress.Maximum) progress.Maximum(static_cast<int>(targets.size()));
  int done = 0;
  for (const auto& target : targets) {
    link.Ui.ProcessMessages();
    if (link.StopRequested && link.StopRequested()) return false;
    const std::string replies = SendCommandList(link, target, lines);
    if (progress.Replies) progress.Replies(target, replies);
    SendCommand(link, target, "RESTART");
    if (progress.Position) progress.Position(++done);
  }
  return true;
}

std::vector<std::string> TargetsDescending(TDatabase& db) {
  std::vector<std::string> targets;
  const auto terminals = TerminalsByAddress(db);
  for (auto it = terminals.rbegin(); it != terminals.rend(); ++it) targets.push_back(it->address);
  return targets;
}

bool SendTerminalParams(TLinkContext& link, TDatabase& db, const std::string& currentAddress,
                        TParamTable& table, THardwareForm& form, const TSendChoice& choice,
                        const TSendProgress& progress) {
  if (!form.ValuesLoaded) {
    link.Ui.Warning(kSendRefused);
    return false;
  }
  try {
    if (progress.Position) progress.Position(0);
    StoreParams(form, table);
    for (int number : ModuleSendOrder) SendCommand(link, currentAddress, ModuleCommand(form, number));
    const std::string lines =
        ParamCommandLines(table, choice.allPages ? AllPageNumbers() : PageNumbers(choice.page));
    const std::vector<std::string> targets =
        choice.allTerminals ? TargetsDescending(db) : std::vector<std::string>{currentAddress};
    return SendToTerminals(link, targets, lines, progress);
  } catch (const std::exception&) {
    // Terminals not reached yet get nothing; the replies were never looked at anyway.
    return false;
  }
}

}  // namespace korvo
