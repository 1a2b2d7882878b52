#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/AnswerCount.h"
#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "link/CommandText.h"
#include "link/ReplyTokens.h"
#include "store/DataMod.h"

namespace korvo {
namespace {

// korvo2k-cli params ADDRESS N...: reads terminal parameters, one "N=value" line each, or
// "N -- no answer" for a parameter whose "PAR N" got no reply. Each number is its own conversation,
// as in ReadParameters, so that an unanswered parameter can be told from an empty one.
class TParamsCommand final : public TCliCommand {
 public:
  TParamsCommand()
      : TCliCommand("params", "params ADDRESS N...",
                    "read terminal parameters, one N=value line each (N -- no answer where the terminal "
                    "stayed silent)") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    // Only numbers: "PAR n" followed by anything else would write the parameter.
    const CLI::Validator number(
        [](std::string& n) -> std::string {
          if (n.empty() || n.find_first_not_of("0123456789") != std::string::npos)
            return "not a parameter number: " + n;
          return {};
        },
        "", "");
    command.add_option("N", numbers_, "parameter numbers")->required()->check(number);
  }

  int Execute(TCliContext& c) override {
    std::size_t answered = 0;
    for (const auto& n : numbers_) {
      const std::string reply = c.dm.SendCommand(address_, "PAR " + n);
      c.ui.EndProgressLine();
      if (CountAnswers(reply).Silent()) {
        c.out << n << " -- no answer\n";
      } else {
        c.out << n << '=' << ParameterValue(reply) << '\n';
        ++answered;
      }
    }
    if (answered == 0) {
      c.err << "error: no answer from the terminal " << address_ << '\n';
      return kExitFailed;
    }
    return kExitDone;
  }

 private:
  std::string address_;
  std::vector<std::string> numbers_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeParamsCommand() {
  return std::make_unique<TParamsCommand>();
}

}  // namespace korvo
