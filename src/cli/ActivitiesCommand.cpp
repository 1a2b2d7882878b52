#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <istream>
#include <ostream>

#include "cards/ActivityDelete.h"
#include "cards/ActivityExport.h"
#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/MonthlyLog.h"
#include "store/UploadConfig.h"

namespace korvo {
namespace {

// korvo2k-cli activities export|delete: the Activities page's Save and Delete with the page's
// filter fields as options, for scripts that archive and prune the activity table.
class TActivitiesCommand final : public TCliCommand {
 public:
  TActivitiesCommand()
      : TCliCommand("activities",
                    "activities export --format txt|dbf|filo|csv [FILTERS] FILE | delete [FILTERS] [--yes]",
                    "save the stored activities as text, dBase, attendance table or CSV, or delete a range "
                    "of them") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    export_ =
        command.add_subcommand("export", "save the activities the filters show, as the page's Save does");
    export_->fallthrough();
    export_
        ->add_option("--format", format_,
                     "txt (lines of the Output Format), dbf, filo (first in, last out) or csv")
        ->required()
        ->check(CLI::IsMember({"txt", "dbf", "filo", "csv"}));
    export_->add_option("FILE", file_, "the file to write; the extension is added when missing")->required();
    AddFilters(*export_, true);

    delete_ = command.add_subcommand(
        "delete", "delete the activities of the time range and/or the card range, then compact the database");
    delete_->fallthrough();
    delete_->add_flag("--yes", yes_, "do not ask; needed when stdin is no terminal");
    AddFilters(*delete_, false);
  }

  int Execute(TCliContext& c) override { return export_->parsed() ? Export(c) : Delete(c); }

 private:
  void AddFilters(CLI::App& sub, bool all) {
    sub.add_option("--card-from", filter_.cardFrom, "first card number of the range (needs --card-to)");
    sub.add_option("--card-to", filter_.cardTo, "last card number of the range (needs --card-from)");
    sub.add_option("--from", filter_.timeFrom, "start of the time range, YYYYMMDDHHMMSS (needs --to)");
    sub.add_option("--to", filter_.timeTo, "end of the time range, YYYYMMDDHHMMSS (needs --from)");
    if (!all) return;
    sub.add_option("--event", filter_.event, "only this event (fsEventDisplay of tEventMap)");
    sub.add_option("--location", filter_.location, "only this terminal location (fsLocation of tTerminals)");
  }

  int Export(TCliContext& c) {
    const TLocalTime now = ToLocal(c.dm.Clock.Now());
    const TActivitySaveType type = format_ == "txt"   ? TActivitySaveType::Text
                                   : format_ == "dbf" ? TActivitySaveType::Dbf
                                   : format_ == "csv" ? TActivitySaveType::Csv
                                                      : TActivitySaveType::Filo;
    const TSaveResult saved = SaveActivities(c.dm.ADOC, {TActivityForm::View, filter_, ""}, type, file_,
                                             c.dm.SysParam.OutputFormat, {now.year, now.month, now.day});
    c.out << saved.records << " records written to " << saved.path << '\n';
    return kExitDone;
  }

  int Delete(TCliContext& c) {
    const int count = CountActivitiesToDelete(c.dm.ADOC, filter_);
    if (!yes_) {
      // Only a person can say yes: a script must say so with --yes.
      if (&c.in == &std::cin && !::isatty(STDIN_FILENO)) {
        c.err << "error: " << count << " activities would be deleted; stdin is no terminal, give --yes\n";
        return kExitFailed;
      }
      c.out << "Delete " << count << " activities? [y/N] " << std::flush;
      std::string answer;
      std::getline(c.in, answer);
      if (answer != "y" && answer != "Y" && answer != "yes") {
        c.out << "Nothing deleted.\n";
        return kExitDone;
      }
    }
    const int deleted =
        DeleteActivities(c.dm.ADOC, filter_, [&](const std::string& line) { c.dm.WriteLog(line, true); });
    c.out << deleted << " activities deleted.\n";
    return kExitDone;
  }

  CLI::App* export_ = nullptr;
  CLI::App* delete_ = nullptr;
  std::string format_, file_;
  TActivityFilter filter_;
  bool yes_ = false;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeActivitiesCommand() {
  return std::make_unique<TActivitiesCommand>();
}

}  // namespace korvo
