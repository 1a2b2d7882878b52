#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"
#include "tools/SysInfoStatus.h"

namespace korvo {
namespace {

constexpr const char* kLabels[] = {"System Path :", "Disk Free Space :", "Disk Total Space :",
                                   "Address :",     "Buffer :",          "Fingerprints Enrolled :",
                                   "Cardholders :", "Activities :",      "Template in Database :"};
constexpr const char* kUnits[] = {"", "MB", "MB", "", "Record", "Record", "Record", "Record", "Record"};

// korvo2k-cli sysinfo [ADDRESS]: the System Information window's values, for the current terminal
// of the settings or the one given.
class TSysInfoCommand final : public TCliCommand {
 public:
  TSysInfoCommand()
      : TCliCommand("sysinfo", "sysinfo [ADDRESS]",
                    "show the program folder, its disk, the records waiting in a terminal and its "
                    "fingerprints, and the cardholders, activities and templates of the database") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("ADDRESS", address_, "the terminal (default: the current terminal of the settings)");
  }

  int Execute(TCliContext& c) override {
    TSysInfoSources sources{c.dm.Link, c.dm.ADOC, c.dm.ProgramFolder(),
                            address_.empty() ? c.dm.Settings.CurAddr() : address_};
    TSysInfoValues values;
    int rc = kExitDone;
    try {
      FillSysInfo(sources, values);
    } catch (const std::exception& e) {
      c.ui.EndProgressLine();
      c.err << "error: " << e.what() << '\n';
      rc = kExitFailed;
    }
    c.ui.EndProgressLine();
    for (std::size_t i = 0; i < values.size(); ++i) {
      c.out << kLabels[i] << ' ' << values[i];
      if (*kUnits[i] && !values[i].empty()) c.out << kUnits[i];
      c.out << '\n';
    }
    // A silent terminal lists no transactions and answers FINGERS with the "--" of no answer.
    if (rc == kExitDone && values[5] == "-- ") {
      c.err << "error: no answer from the terminal " << values[3] << '\n';
      rc = kExitFailed;
    }
    return rc;
  }

 private:
  std::string address_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeSysInfoCommand() {
  return std::make_unique<TSysInfoCommand>();
}

}  // namespace korvo
