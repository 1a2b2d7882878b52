#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <istream>
#include <optional>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "cli/LineEditor.h"
#include "link/LinkErrors.h"
#include "link/TerminalRow.h"
#include "store/DataMod.h"
#include "tools/ConsoleLayouts.h"
#include "tools/DirectComm.h"

namespace korvo {
namespace {

// Where the console reads its lines: edited at a terminal, plain lines otherwise (a script).
class TLineSource {
 public:
  TLineSource(std::istream& in, std::ostream& prompts)
      : in_(in), prompts_(prompts), edited_(&in == &std::cin && isatty(STDIN_FILENO)) {}

  std::optional<std::string> Read(const std::string& prompt, const std::vector<std::string>& history,
                                  const std::function<std::string()>& recall) {
    if (edited_) return ReadEditedLine(STDIN_FILENO, prompts_, prompt, history, recall);
    std::string line;
    if (!std::getline(in_, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  bool Edited() const { return edited_; }

 private:
  std::istream& in_;
  std::ostream& prompts_;
  bool edited_;
};

// The console's operator: the Delete all question is put to whoever types, everything else goes to
// the front end's hooks.
class TAskingUi final : public TOperatorUi {
 public:
  TAskingUi(TOperatorUi& inner, TLineSource& lines, std::ostream& err)
      : inner_(inner), lines_(lines), err_(err) {}
  void ProcessMessages() override { inner_.ProcessMessages(); }
  void Warning(const std::string& text) override { inner_.Warning(text); }
  void Information(const std::string& text) override { inner_.Information(text); }
  void Error(const std::string& text) override { inner_.Error(text); }
  bool AskYesNo(const std::string& text) override {
    if (!lines_.Edited()) err_ << text << " [y/N]\n";
    const auto answer = lines_.Read(text + " [y/N] ", {}, {});
    return answer && (*answer == "y" || *answer == "Y" || *answer == "yes");
  }
  TAbortRetry AskAbortRetry(const std::string& text) override { return inner_.AskAbortRetry(text); }

 private:
  TOperatorUi& inner_;
  TLineSource& lines_;
  std::ostream& err_;
};

// korvo2k-cli console ADDRESS: the Direct Command window on a terminal: one command a line, its reply
// laid out as the window shows it.
class TConsoleCommand final : public TCliCommand {
 public:
  TConsoleCommand()
      : TCliCommand("console", "console ADDRESS",
                    "type terminal commands one a line and read their replies, as the Direct Command "
                    "window shows them (Ctrl+X recalls the last command, Ctrl+D ends)") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
  }

  int Execute(TCliContext& c) override {
    const auto row = c.dm.Link.FindTerminal(address_);
    if (!row) throw TUnknownTerminalError(address_);
    TLineSource lines(c.in, c.err);
    TAskingUi ui(c.ui, lines, c.err);
    TResultList list;
    std::string last;
    TDirectConsole console(
        c.dm.Link, ui, list, [&](const std::string& m) { c.dm.WriteLog(m, true); }, last);
    std::vector<std::string> history;
    const std::string prompt = TerminalLabel(*row) + "> ";
    if (lines.Edited())
      c.err << "Direct Command : " << TerminalLabel(*row)
            << ". Ctrl+X recalls the last command, Ctrl+D ends.\n";
    while (const auto line = lines.Read(prompt, history, [&] { return last; })) {
      if (!line->empty() && (history.empty() || history.back() != *line)) history.push_back(*line);
      console.Run(address_, *line);
      c.ui.EndProgressLine();
      for (const auto& l : list.Lines()) c.out << l << '\n';
      c.out.flush();
    }
    return kExitDone;
  }

 private:
  std::string address_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeConsoleCommand() {
  return std::make_unique<TConsoleCommand>();
}

}  // namespace korvo
