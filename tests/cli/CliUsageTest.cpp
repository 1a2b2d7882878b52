// The command line itself: help on stdout with exit 0, usage errors on stderr with exit 2, and no
// start-up (no file written) before the line has been understood.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "cli/CliCommands.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;
using Strings = std::vector<std::string>;

struct TUsageCase {
  Strings args;  // after "--folder DIR"
  int rc;
  bool onStdout;     // the expected text is on stdout and stderr stays empty, or the other way round
  Strings expected;  // each must appear in that stream
};

TEST(CliUsage, HelpGoesToStdoutAndUsageErrorsToStderr) {
  const std::vector<TUsageCase> cases = {
      {{"--help"},
       0,
       true,
       {"Subcommands:", "status", "send", "params", "ping", "monitor", "--folder DIR", "--progress",
        "Exit codes:", "0  done", "1  failed", "2  usage error"}},
      {{"status", "--help"}, 0, true, {"korvo2k-cli status"}},
      {{"send", "--help"}, 0, true, {"korvo2k-cli send", "ADDRESS", "COMMAND"}},
      {{"params", "--help"}, 0, true, {"korvo2k-cli params", "ADDRESS", "N"}},
      {{"ping", "--help"}, 0, true, {"korvo2k-cli ping", "HOST", "PORT"}},
      {{"monitor", "--help"}, 0, true, {"korvo2k-cli monitor", "--port", "--bind"}},
      {{"monitor", "--port", "0"}, 2, false, {"usage: monitor [--port P] [--bind ADDRESS]"}},
      {{"config", "--help"}, 0, true, {"korvo2k-cli config", "read", "write", "default"}},
      {{"config", "read", "--help"}, 0, true, {"korvo2k-cli config read", "ADDRESS", "--page N"}},
      {{"config", "write", "--help"}, 0, true, {"korvo2k-cli config write", "FILE", "--all-terminals"}},
      {{"config", "default", "--help"}, 0, true, {"korvo2k-cli config default"}},
      {{}, 2, false, {"usage: korvo2k-cli [--folder DIR]"}},
      {{"frobnicate"}, 2, false, {"unknown command frobnicate\n", "usage: korvo2k-cli"}},
      {{"--bogus", "status"}, 2, false, {"not expected: --bogus"}},
      {{"status", "extra"}, 2, false, {"extra", "usage: status\n"}},
      {{"send", "1"}, 2, false, {"COMMAND", "usage: send ADDRESS COMMAND...\n"}},
      {{"params", "1", "30 9"}, 2, false, {"not a parameter number: 30 9", "usage: params ADDRESS N...\n"}},
      {{"params", "1", "7", "-3"}, 2, false, {"not a parameter number: -3"}},
      {{"ping", "127.0.0.1", "seven"}, 2, false, {"PORT", "usage: ping HOST [PORT]\n"}},
      {{"time", "--help"}, 0, true, {"korvo2k-cli time", "get", "set"}},
      {{"time", "set", "--help"}, 0, true, {"--all", "ARGS"}},
      {{"time"}, 2, false, {"usage: time get ADDRESS | time set ADDRESS|--all [yyyy-mm-dd hh:mm:ss]\n"}},
      {{"time", "get"}, 2, false, {"ADDRESS", "usage: time get"}},
      {{"time", "set"}, 2, false, {"give an ADDRESS or --all", "usage: time get"}},
      {{"time", "set", "1", "2024-01-31"}, 2, false, {"give the date and the time"}},
      {{"time", "set", "--all", "1", "2024-01-31", "14:25:30"}, 2, false, {"give the date and the time"}},
      {{"config"}, 2, false, {"usage: config read ADDRESS [--page N] | write ADDRESS FILE"}},
      {{"config", "read"}, 2, false, {"ADDRESS", "usage: config read"}},
      {{"config", "read", "1", "--page", "5"}, 2, false, {"--page: no page 5"}},
      {{"config", "write", "1"}, 2, false, {"FILE", "usage: config read"}},
      {{"config", "default", "extra"}, 2, false, {"extra"}},
      {{"load", "--help"}, 0, true, {"korvo2k-cli load", "ADDRESS", "--all", "--skip-duplicates"}},
      {{"load", "1", "--all"}, 2, false, {"excludes", "usage: load [ADDRESS|--all] [--skip-duplicates]\n"}},
  };
  for (const auto& c : cases) {
    TTempFolder dir;
    Strings args{"--folder", dir.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    const std::string what = testing::PrintToString(c.args);
    EXPECT_EQ(RunCli(args, out, err), c.rc) << what << err.str();
    const std::string shown = c.onStdout ? out.str() : err.str();
    EXPECT_EQ(c.onStdout ? err.str() : out.str(), "") << what;
    for (const auto& text : c.expected)
      EXPECT_NE(shown.find(text), std::string::npos) << what << ": " << text << " in\n" << shown;
    EXPECT_FALSE(dir.Exists("KORVOSET.DAT")) << what << ": started up";
  }
}

TEST(CliUsage, TheHelpListsEveryCommandAndNoOther) {
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--help"}, out, err), 0);
  const std::string help = out.str();
  std::size_t at = help.find("Subcommands:\n");
  ASSERT_NE(at, std::string::npos) << help;
  std::istringstream lines(help.substr(at + 13));
  Strings listed;
  for (std::string line; std::getline(lines, line) && !line.empty();)
    if (line.rfind("  ", 0) == 0 && line[2] != ' ') listed.push_back(line.substr(2, line.find(' ', 2) - 2));
  EXPECT_EQ(listed,
            (Strings{"status", "send", "params", "ping", "time", "config", "load", "tables", "cards",
                     "templates", "activities", "reload", "terminals", "console", "sysinfo", "monitor"}))
      << help;
}

TEST(CliUsage, GlobalOptionsMayFollowTheCommand) {
  TTempFolder dir;
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"status", "--folder", dir.Path()}, out, err), 0) << err.str();
  EXPECT_TRUE(dir.Exists("KORVOSET.DAT"));
  TTempFolder other;
  EXPECT_EQ(RunCli({"config", "default", "--folder", other.Path()}, out, err), 0) << err.str();
  EXPECT_TRUE(other.Exists("KORVOSET.DAT")) << "the option after a command's own subcommand";
}

}  // namespace
}  // namespace korvo
