#include <CLI/CLI.hpp>
#include <ostream>

#include "cards/ReloadBackup.h"
#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "collect/TransactionRecord.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/MonthlyLog.h"

namespace korvo {
namespace {

// korvo2k-cli reload: a backup file of BackUp/ stored again and/or written again to the output file,
// as the "Reload Backup File" page does.
class TReloadCommand final : public TCliCommand {
 public:
  TReloadCommand()
      : TCliCommand("reload", "reload BACKUPFILE [--activities] [--output]",
                    "store a backup file's transactions again and/or write them again to the output file") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("BACKUPFILE", file_, "the file's name in BackUp/ of the program folder")->required();
    command.add_flag("--activities", activities_, "store the transactions in the activity table");
    command.add_flag("--output", output_, "write them to the configured output file");
  }

  int Execute(TCliContext& c) override {
    if (!activities_ && !output_) {
      c.err << "error: give --activities, --output or both\n";
      return kExitUsage;
    }
    const std::size_t slash = file_.find_last_of('/');
    const std::string name = slash == std::string::npos ? file_ : file_.substr(slash + 1);
    const TLocalTime now = ToLocal(c.dm.Clock.Now());
    TBackupReload reload(c.dm.ADOC, c.dm.SysParam, c.dm.ProgramFolder(), CenturyOf(now.year),
                         {now.year, now.month, now.day});
    TReloadSinks sinks{[&](const std::string& caption, int) { c.ui.ProgressNotice(caption); },
                       {},
                       {},
                       [&](const std::string& line) {
                         c.dm.WriteLog(line, true);
                         c.out << line << '\n';
                       },
                       [&](const std::string& text) { c.ui.Warning(text); }};
    const TReloadResult r = reload.Reload(name, activities_, output_, sinks);
    c.ui.EndProgressLine();
    if (!r.done) return kExitFailed;
    if (activities_) c.out << r.stored << " stored, " << r.skipped << " already stored\n";
    return kExitDone;
  }

 private:
  std::string file_;
  bool activities_ = false, output_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeReloadCommand() {
  return std::make_unique<TReloadCommand>();
}

}  // namespace korvo
