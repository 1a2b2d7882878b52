#include "cli/CliCommands.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <iostream>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace korvo {
namespace {

constexpr const char* kSynopsis = "korvo2k-cli [--folder DIR] [--progress] COMMAND [ARGS...]";
constexpr const char* kFooter =
    "Exit codes:\n"
    "  0  done\n"
    "  1  failed: a terminal did not answer, an address was refused, or another error\n"
    "  2  usage error";

// The first word on the line that is not an option: the command the operator asked for.
std::string FirstWord(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--folder") {
      ++i;
    } else if (args[i].empty() || args[i][0] != '-') {
      return args[i];
    }
  }
  return {};
}

// Help goes to `out` and ends well; anything else is a usage error told on `err`.
int ParseFailure(CLI::App& app, const CLI::ParseError& e, const std::vector<std::string>& args,
                 const std::vector<std::unique_ptr<TCliCommand>>& commands, std::ostream& out,
                 std::ostream& err) {
  if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e, out, err);
  for (const auto& command : commands) {
    if (app.got_subcommand(command->Name)) {
      err << "error: " << e.what() << "\nusage: " << command->Usage << "\nRun 'korvo2k-cli " << command->Name
          << " --help' for more information.\n";
      return kExitUsage;
    }
  }
  const std::string word = FirstWord(args);
  const bool known =
      std::any_of(commands.begin(), commands.end(), [&](const auto& c) { return c->Name == word; });
  if (!word.empty() && !known)
    err << "unknown command " << word << '\n';
  else
    err << "error: " << e.what() << '\n';
  err << "usage: " << kSynopsis << "\nRun 'korvo2k-cli --help' for the commands.\n";
  return kExitUsage;
}

// Start-up, the command, shut-down.
int RunCommand(TCliCommand& command, const std::string& folder, bool showProgress, std::istream& in,
               std::ostream& out, std::ostream& err) {
  std::string problem;
  const TFolderChoice choice = ResolveProgramFolder(folder, problem);
  if (!problem.empty()) {
    err << "error: " << problem << '\n';
    return kExitFailed;
  }
  TRealClock clock;
  TConsoleUi ui(out, err, showProgress);
  TProgram program(choice.folder, clock, ui);
  program.FolderSource = choice.source;
  int rc = kExitDone;
  try {
    TDM& dm = program.Start();
    if (dm.DatabaseCreated())
      err << "New database created : " << dm.DatabasePath()
          << ". Log in as Administrator with the password admin and change it before going into service.\n";
    TCliContext context{program, dm, ui, in, out, err};
    rc = command.Execute(context);
  } catch (const std::exception& e) {
    ui.EndProgressLine();
    err << "error: " << e.what() << '\n';
    rc = kExitFailed;
  }
  ui.EndProgressLine();
  program.ShutDown();
  if (rc == kExitDone && ui.ErrorCount() > 0) rc = kExitFailed;
  return rc;
}

}  // namespace

std::vector<std::unique_ptr<TCliCommand>> MakeCliCommands() {
  std::vector<std::unique_ptr<TCliCommand>> commands;
  commands.push_back(MakeStatusCommand());
  commands.push_back(MakeSendCommand());
  commands.push_back(MakeParamsCommand());
  commands.push_back(MakePingCommand());
  commands.push_back(MakeTimeCommand());
  commands.push_back(MakeConfigCommand());
  commands.push_back(MakeLoadCommand());
  commands.push_back(MakeTablesCommand());
  commands.push_back(MakeCardsCommand());
  commands.push_back(MakeTemplatesCommand());
  commands.push_back(MakeActivitiesCommand());
  commands.push_back(MakeReloadCommand());
  commands.push_back(MakeTerminalsCommand());
  commands.push_back(MakeConsoleCommand());
  commands.push_back(MakeSysInfoCommand());
  commands.push_back(MakeMonitorCommand());
  return commands;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal,
           std::istream* in) {
  // The commands hold the parsed arguments, so they outlive the parser.
  const auto commands = MakeCliCommands();
  CLI::App app{"The KORVO2K/Bio utility without windows: start-up, settings and terminal commands.",
               "korvo2k-cli"};
  std::string folder;
  bool progress = false;
  app.add_option("--folder", folder,
                 "the program folder: settings, database, log, PORTS.CFG (default: $KORVO2K_FOLDER, "
                 "else the executable's folder when it is a writable portable build, else "
                 "$XDG_DATA_HOME/korvo2k)")
      ->type_name("DIR");
  app.add_flag("--progress", progress,
               "draw the progress of long jobs on stderr even when it is no terminal");
  app.require_subcommand(1);
  app.footer(kFooter);
  for (const auto& command : commands) {
    CLI::App* sub = app.add_subcommand(command->Name, command->Summary);
    sub->fallthrough();  // the global options may also follow the command
    command->AddArguments(*sub);
  }

  try {
    app.parse(std::vector<std::string>(args.rbegin(), args.rend()));
  } catch (const CLI::ParseError& e) {
    return ParseFailure(app, e, args, commands, out, err);
  }
  for (const auto& command : commands)
    if (app.got_subcommand(command->Name))
      return RunCommand(*command, folder, progress || errIsTerminal, in ? *in : std::cin, out, err);
  return kExitUsage;  // require_subcommand lets no run through without one
}

}  // namespace korvo
