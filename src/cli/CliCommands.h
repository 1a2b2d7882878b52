#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvo {

class TProgram;
class TDM;
class TConsoleUi;

struct TCliContext {
  TProgram& program;
  TDM& dm;
  TConsoleUi& ui;
  std::ostream& out;
  std::ostream& err;
};

// One headless job. `run` returns the process exit code.
struct TCliCommand {
  std::string name;
  std::string usage;
  std::string summary;
  std::function<int(TCliContext&, const std::vector<std::string>& args)> run;
};

// Every command of the front end; a new job adds its entry here.
const std::vector<TCliCommand>& CliCommands();

// The whole front end: options, start-up, the command, shut-down. Returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace korvo
