#include "cli/CliCommands.h"

#include <exception>
#include <ostream>

#include "cli/ConsoleUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "store/Schema.h"

namespace korvo {
namespace {

const char* YesNo(bool b) {
  return b ? "true" : "false";
}

int StatusCommand(TCliContext& c, const std::vector<std::string>& args) {
  if (!args.empty()) {
    c.err << "status takes no arguments\n";
    return 2;
  }
  const TSettingsRecord& s = c.program.Settings;
  c.out << "Program folder: " << c.program.ProgramFolder << '\n'
        << c.dm.VersionText << "\n\n"
        << "[Settings]\n"
        << "CurAddr=" << s.CurAddr() << '\n'
        << "PrevAddr=" << s.PrevAddr() << '\n'
        << "SelectedAddr=" << s.SelectedAddr() << '\n'
        << "CurTermNo=" << s.CurTermNo() << '\n'
        << "CurLocation=" << s.CurLocation() << '\n'
        << "PrevLocation=" << s.PrevLocation() << '\n'
        << "CurPort=" << s.CurPort() << '\n'
        << "LastLogin=" << s.LastLogin() << '\n'
        << "PasswordRequired=" << YesNo(s.PasswordRequired()) << '\n'
        << "ImmediateLoading=" << YesNo(s.ImmediateLoading()) << '\n'
        << "ModemInit=" << s.ModemInit() << '\n'
        << "ModemSpeed=" << s.ModemSpeed() << '\n'
        << "OnlinePort=" << s.OnlinePort() << "\n\n";
  const TSysParam& p = c.program.SysParam;
  c.out << "[Upload configuration]\n"
        << "Output Type=" << p.OutputType << '\n'
        << "Terminal No As File Ext=" << YesNo(p.TermNoAsFileExt) << '\n'
        << "Date As File Name=" << YesNo(p.DateAsFileName) << '\n'
        << "Output Format=" << p.OutputFormat << '\n'
        << "Output FileName=" << p.OutputFileName << '\n'
        << "Output Event Filter=" << p.OutputEventFilter << '\n'
        << "Delete After Loaded=" << YesNo(p.DeleteAfterLoaded) << '\n'
        << "Restart After Loaded=" << YesNo(p.RestartAfterLoaded) << '\n'
        << "Load All Terminal=" << YesNo(p.LoadAllTerminal) << '\n'
        << "Flag Transaction=" << YesNo(p.FlagTransaction) << '\n'
        << "Synchronize Time=" << YesNo(p.SynchronizeTime) << "\n\n";
  if (!c.dm.DatabaseOpen()) {
    c.err << "error: the database is not open\n";
    return 1;
  }
  c.out << "[Database " << c.dm.DatabasePath() << "]\n";
  TQuery q(c.dm.ADOC);
  for (const auto& table : TableNames()) {
    q.SetSQL("SELECT count(*) AS n FROM " + table);
    q.Open();
    c.out << table << '=' << q.FieldByName("n").AsInteger() << '\n';
    q.Close();
  }
  return 0;
}

void Usage(std::ostream& err) {
  err << "usage: korvo2k-cli [--folder DIR] COMMAND [ARGS...]\n\ncommands:\n";
  for (const auto& c : CliCommands()) err << "  " << c.usage << "\n      " << c.summary << '\n';
}

}  // namespace

int SendCommandJob(TCliContext& c, const std::vector<std::string>& args);
int ParamsCommandJob(TCliContext& c, const std::vector<std::string>& args);
int PingCommandJob(TCliContext& c, const std::vector<std::string>& args);

const std::vector<TCliCommand>& CliCommands() {
  static const std::vector<TCliCommand> kCommands = {
      {"status", "status", "start up, show the settings, the upload configuration and the table sizes",
       StatusCommand},
      {"send", "send ADDRESS COMMAND...",
       "send one command text to a terminal and show its reply (\\r in the text separates command lines)",
       SendCommandJob},
      {"params", "params ADDRESS N...", "read terminal parameters, one N=value line each", ParamsCommandJob},
      {"ping", "ping HOST [PORT]",
       "check that a network terminal answers the echo (PORT: the terminal's port, used where ICMP is not "
       "allowed)",
       PingCommandJob},
  };
  return kCommands;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string folder;
  bool progress = false;
  std::size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--folder" && i + 1 < args.size()) {
      folder = args[++i];
    } else if (args[i] == "--progress") {
      progress = true;
    } else if (args[i] == "--help" || args[i] == "-h") {
      Usage(err);
      return 0;
    } else if (!args[i].empty() && args[i][0] == '-') {
      err << "unknown option " << args[i] << '\n';
      Usage(err);
      return 2;
    } else {
      break;
    }
  }
  if (i >= args.size()) {
    Usage(err);
    return 2;
  }
  const TCliCommand* command = nullptr;
  for (const auto& c : CliCommands())
    if (c.name == args[i]) command = &c;
  if (!command) {
    err << "unknown command " << args[i] << '\n';
    Usage(err);
    return 2;
  }
  std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

  std::string programFolder = folder.empty() ? ExecutableFolder() : NormaliseFolder(folder);
  TRealClock clock;
  TConsoleUi ui(out, err, progress);
  TProgram program(programFolder, clock, ui);
  int rc = 0;
  try {
    TDM& dm = program.Start();
    TCliContext ctx{program, dm, ui, out, err};
    rc = command->run(ctx, rest);
  } catch (const std::exception& e) {
    err << "error: " << e.what() << '\n';
    rc = 1;
  }
  program.ShutDown();
  if (rc == 0 && ui.ErrorCount() > 0) rc = 1;
  return rc;
}

}  // namespace korvo
