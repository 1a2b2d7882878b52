#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/VisibleText.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "store/Schema.h"

namespace korvo {
namespace {

const char* YesNo(bool b) {
  return b ? "true" : "false";
}

// korvo2k-cli status: start up, then show what start-up found. The texts come from files anyone
// may have edited: their control characters are shown, not sent to the terminal.
class TStatusCommand final : public TCliCommand {
 public:
  TStatusCommand()
      : TCliCommand("status", "status",
                    "start up, show the settings, the upload configuration and the table sizes") {}

  void AddArguments(CLI::App&) override {}

  int Execute(TCliContext& c) override {
    const TSettingsRecord& s = c.program.Settings;
    c.out << "Program folder: " << OneLineText(c.program.ProgramFolder) << '\n'
          << "Folder chosen by: " << FolderSourceText(c.program.FolderSource) << '\n'
          << c.dm.VersionText << "\n\n"
          << "[Settings]\n"
          << "CurAddr=" << OneLineText(s.CurAddr()) << '\n'
          << "PrevAddr=" << OneLineText(s.PrevAddr()) << '\n'
          << "SelectedAddr=" << OneLineText(s.SelectedAddr()) << '\n'
          << "CurTermNo=" << OneLineText(s.CurTermNo()) << '\n'
          << "CurLocation=" << OneLineText(s.CurLocation()) << '\n'
          << "PrevLocation=" << OneLineText(s.PrevLocation()) << '\n'
          << "CurPort=" << s.CurPort() << '\n'
          << "LastLogin=" << OneLineText(s.LastLogin()) << '\n'
          << "PasswordRequired=" << YesNo(s.PasswordRequired()) << '\n'
          << "ImmediateLoading=" << YesNo(s.ImmediateLoading()) << '\n'
          << "ModemInit=" << OneLineText(s.ModemInit()) << '\n'
          << "ModemSpeed=" << s.ModemSpeed() << '\n'
          << "OnlinePort=" << OneLineText(s.OnlinePort()) << "\n\n";
    const TSysParam& p = c.program.SysParam;
    c.out << "[Upload configuration]\n"
          << "Output Type=" << OneLineText(p.OutputType) << '\n'
          << "Terminal No As File Ext=" << YesNo(p.TermNoAsFileExt) << '\n'
          << "Date As File Name=" << YesNo(p.DateAsFileName) << '\n'
          << "Output Format=" << OneLineText(p.OutputFormat) << '\n'
          << "Output FileName=" << OneLineText(p.OutputFileName) << '\n'
          << "Output Event Filter=" << OneLineText(p.OutputEventFilter) << '\n'
          << "Delete After Loaded=" << YesNo(p.DeleteAfterLoaded) << '\n'
          << "Restart After Loaded=" << YesNo(p.RestartAfterLoaded) << '\n'
          << "Load All Terminal=" << YesNo(p.LoadAllTerminal) << '\n'
          << "Flag Transaction=" << YesNo(p.FlagTransaction) << '\n'
          << "Synchronize Time=" << YesNo(p.SynchronizeTime) << '\n'
          << "Skip Duplicates=" << YesNo(p.SkipDuplicates) << "\n\n";
    if (!c.dm.DatabaseOpen()) {
      c.err << "error: the database is not open\n";
      return kExitFailed;
    }
    c.out << "[Database " << OneLineText(c.dm.DatabasePath()) << "]\n";
    TQuery q(c.dm.ADOC);
    for (const auto& table : TableNames()) {
      q.SetSQL("SELECT count(*) AS n FROM " + table);
      q.Open();
      c.out << table << '=' << q.FieldByName("n").AsInteger() << '\n';
      q.Close();
    }
    return kExitDone;
  }
};

}  // namespace

std::unique_ptr<TCliCommand> MakeStatusCommand() {
  return std::make_unique<TStatusCommand>();
}

}  // namespace korvo
