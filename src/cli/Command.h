#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace korvo {

class TProgram;
class TDM;
class TConsoleUi;

// The exit codes of korvo2k-cli.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // a terminal stayed silent, an address was refused, an error
constexpr int kExitUsage = 2;

struct TCliContext {
  TProgram& program;
  TDM& dm;
  TConsoleUi& ui;
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// One job of the headless front end, one per source file. The command declares its own arguments
// on the subcommand it is given; once they are parsed and the program has started, `Execute` runs
// it and returns the exit code.
class TCliCommand {
 public:
  TCliCommand(std::string name, std::string usage, std::string summary)
      : Name(std::move(name)), Usage(std::move(usage)), Summary(std::move(summary)) {}
  virtual ~TCliCommand() = default;
  TCliCommand(const TCliCommand&) = delete;
  TCliCommand& operator=(const TCliCommand&) = delete;

  const std::string Name;
  // The one-line synopsis shown after a usage error, e.g. "ping HOST [PORT]".
  const std::string Usage;
  const std::string Summary;

  virtual void AddArguments(CLI::App& command) = 0;
  virtual int Execute(TCliContext& c) = 0;
};

std::unique_ptr<TCliCommand> MakeStatusCommand();
std::unique_ptr<TCliCommand> MakeSendCommand();
std::unique_ptr<TCliCommand> MakeParamsCommand();
std::unique_ptr<TCliCommand> MakePingCommand();
std::unique_ptr<TCliCommand> MakeTimeCommand();
std::unique_ptr<TCliCommand> MakeConfigCommand();
std::unique_ptr<TCliCommand> MakeLoadCommand();
std::unique_ptr<TCliCommand> MakeTablesCommand();
std::unique_ptr<TCliCommand> MakeCardsCommand();
std::unique_ptr<TCliCommand> MakeTemplatesCommand();
std::unique_ptr<TCliCommand> MakeActivitiesCommand();
std::unique_ptr<TCliCommand> MakeReloadCommand();
std::unique_ptr<TCliCommand> MakeTerminalsCommand();
std::unique_ptr<TCliCommand> MakeConsoleCommand();
std::unique_ptr<TCliCommand> MakeSysInfoCommand();
std::unique_ptr<TCliCommand> MakeMonitorCommand();

// A fresh set of every command: each keeps the arguments of one run.
std::vector<std::unique_ptr<TCliCommand>> MakeCliCommands();

}  // namespace korvo
