#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "collect/TransactionDownload.h"
#include "link/LinkErrors.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

constexpr const char* kLoadUsage = "load [ADDRESS|--all] [--skip-duplicates]";

// korvo2k-cli load [ADDRESS|--all] [--skip-duplicates]: the Load Data window's download without the
// window, for cron and systemd timers. The status lines go to stdout, the progress of each terminal to
// stderr, and the log, the backup files, the database rows and the output file are those of the window.
class TLoadCommand final : public TCliCommand {
 public:
  TLoadCommand()
      : TCliCommand("load", kLoadUsage,
                    "download the transactions of one terminal, or of every terminal with --all") {}

  void AddArguments(CLI::App& command) override {
    CLI::Option* address = command.add_option(
        "ADDRESS", address_,
        "the terminal's address (fsAddr of tTerminals); without it and --all: every terminal when "
        "\"Load All Terminal\" is on in UPLOAD.CFG, otherwise the current terminal of KORVOSET.DAT");
    CLI::Option* all = command.add_flag("--all", all_, "every terminal of tTerminals, in address order");
    address->excludes(all);
    command.add_flag("--skip-duplicates", skipDuplicates_,
                     "store no record that tActivities holds already (a re-run after a partial download)");
  }

  int Execute(TCliContext& c) override { return Load(c, skipDuplicates_); }

 private:
  int Load(TCliContext& c, bool skipDuplicates) {
    TJobs::TGuard job = c.dm.Jobs.Start("Load Data");
    c.dm.ReadUploadConfig();
    // The option adds to the configuration's "Skip Duplicates"; it cannot switch it off.
    skipDuplicates = skipDuplicates || c.dm.SysParam.SkipDuplicates;
    std::vector<std::string> targets;
    if (!address_.empty()) {
      if (!c.dm.Link.FindTerminal(address_)) throw TUnknownTerminalError(address_);
      targets = {address_};
    } else {
      const bool all = all_ || c.dm.SysParam.LoadAllTerminal;
      const std::string current = c.dm.Settings.CurAddr();
      if (!all && current.empty()) {
        c.err << "error: no current terminal in KORVOSET.DAT; give an ADDRESS or --all\nusage: " << Usage
              << '\n';
        return kExitUsage;
      }
      targets = DownloadTargets(c.dm.ADOC, all, current);
      if (targets.empty()) c.err << "warning: tTerminals holds no terminal\n";
    }

    TDownloadSinks sinks;
    sinks.Status = [&c](const std::string& s) {
      if (s.empty()) return;  // the window's separator line
      c.ui.EndProgressLine();
      c.out << s << '\n';
    };
    sinks.Log = [&c](const std::string& s) { c.dm.WriteLog(s, true); };
    sinks.MeterMaximum = [&c](int maximum) { c.ui.ProgressNotice("0-" + std::to_string(maximum)); };
    sinks.MeterPosition = [&c](int position) { c.ui.ProgressNotice(std::to_string(position)); };
    TTransactionDownload download(c.dm.Link, c.dm.ADOC, c.dm.SysParam, c.dm.ProgramFolder(), c.dm.Clock,
                                  sinks, {}, skipDuplicates);
    const TDownloadResult r = download.Run(targets);
    c.ui.EndProgressLine();
    c.out << r.stored << " record(s) stored, " << r.skipped << " skipped; " << r.terminals << " terminal(s), "
          << r.unanswered << " unanswered, " << r.incomplete << " incomplete\n";
    int rc = kExitDone;
    if (r.unanswered + r.incomplete > 0) {
      c.err << "error: " << r.unanswered + r.incomplete << " terminal(s) could not be read whole\n";
      rc = kExitFailed;
    }
    if (r.storeErrors > 0) {
      c.err << "error: storing into the database failed in " << r.storeErrors << " attempt(s)\n";
      rc = kExitFailed;
    }
    if (!r.error.empty()) {
      c.err << "error: " << r.error << '\n';
      rc = kExitFailed;
    }
    return rc;
  }

  std::string address_;
  bool all_ = false;
  bool skipDuplicates_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeLoadCommand() {
  return std::make_unique<TLoadCommand>();
}

}  // namespace korvo
