#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/AnswerCount.h"
#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "cli/VisibleText.h"
#include "store/DataMod.h"

namespace korvo {
namespace {

// korvo2k-cli send ADDRESS COMMAND...: one command text to a terminal, its reply with the line
// ends shown.
class TSendCommand final : public TCliCommand {
 public:
  TSendCommand()
      : TCliCommand("send", "send ADDRESS COMMAND...",
                    "send one command text to a terminal and show its reply (\\r in the text separates "
                    "command lines)") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    command.add_option("COMMAND", words_, "the command text; its words are joined with blanks")->required();
  }

  int Execute(TCliContext& c) override {
    const std::string text = CommandTextFromArgs(words_.data(), words_.data() + words_.size());
    const std::string reply = c.dm.SendCommand(address_, text);
    c.ui.EndProgressLine();
    c.out << VisibleText(reply);
    const TAnswerCount answers = CountAnswers(reply);
    if (answers.Silent()) {
      c.err << "error: no answer from the terminal " << address_ << '\n';
      return kExitFailed;
    }
    if (answers.unanswered > 0)
      c.err << "warning: " << answers.unanswered << " of " << answers.lines << " lines got no answer\n";
    return kExitDone;
  }

 private:
  std::string address_;
  std::vector<std::string> words_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeSendCommand() {
  return std::make_unique<TSendCommand>();
}

}  // namespace korvo
