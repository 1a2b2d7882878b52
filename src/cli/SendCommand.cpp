#include <ostream>

#include "cli/CliCommands.h"
#include "cli/VisibleText.h"
#include "store/DataMod.h"

namespace korvo {

// korvo2k-cli send ADDRESS COMMAND...: one command text to a terminal, its reply with the line
// ends shown.
int SendCommandJob(TCliContext& c, const std::vector<std::string>& args) {
  if (args.size() < 2) {
    c.err << "usage: send ADDRESS COMMAND...\n";
    return 2;
  }
  std::string text = CommandTextFromArgs(args.data() + 1, args.data() + args.size());
  c.out << VisibleText(c.dm.SendCommand(args[0], text));
  return 0;
}

}  // namespace korvo
