// activities export and delete, and reload, run as korvo2k-cli runs them on a folder of their own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

struct TRun {
  int rc;
  std::string out;
  std::string err;
};

class CliActivitiesTest : public ::testing::Test {
 protected:
  CliActivitiesTest() {
    Sql({"INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation) VALUES ('10.0.0.7', '007', 'Gate')",
         "INSERT INTO tActivities VALUES ('11', '2026-12-08 08:00:00', 'I', '00', '007', '00'), "
         "('12', '2026-12-08 17:00:00', 'O', '00', '007', '00'), ('13', '2026-12-09 09:00:00', 'I', '00', "
         "'007', "
         "'00')"});
  }
  std::string Sql(const Strings& statements) {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = program.Start();
    std::string last;
    for (const auto& s : statements) {
      TQuery q(dm.ADOC);
      q.SetSQL(s);
      if (s.rfind("SELECT", 0) == 0) {
        q.Open();
        last = q.Field(0).AsString();
      } else {
        q.ExecSQL();
      }
    }
    program.ShutDown();
    return last;
  }
  TRun Cli(const Strings& args, const std::string& input = "") {
    Strings full{"--folder", dir.Path()};
    full.insert(full.end(), args.begin(), args.end());
    std::ostringstream out, err;
    std::istringstream in(input);
    const int rc = RunCli(full, out, err, false, &in);
    return {rc, out.str(), err.str()};
  }

  test::TTempFolder dir;
};

TEST_F(CliActivitiesTest, ExportDeleteAndReload) {
  TRun run =
      Cli({"activities", "export", "--format", "csv", "--card-from", "12", "--card-to", "13", dir.File("a")});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "2 records written to " + dir.File("a.csv") + "\n");
  EXPECT_EQ(dir.Read("a.csv").substr(dir.Read("a.csv").find('\n') + 1, 4), "12,,");

  struct Case {
    Strings args;
    std::string answer;
    std::string out;
    std::string left;
  };
  const std::vector<Case> cases = {
      {{"--from", "20261208000000", "--to", "20261208235959"},
       "n\n",
       "Delete 2 activities? [y/N] Nothing deleted.\n",
       "3"},
      {{"--from", "20261208000000", "--to", "20261208235959"},
       "y\n",
       "Delete 2 activities? [y/N] 2 activities deleted.\n",
       "1"},
      {{"--card-from", "13", "--card-to", "13", "--yes"}, "", "1 activities deleted.\n", "0"},
  };
  for (const auto& c : cases) {
    Strings args{"activities", "delete"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    run = Cli(args, c.answer);
    EXPECT_EQ(run.rc, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(Sql({"SELECT COUNT(*) FROM tActivities"}), c.left);
  }
  run = Cli({"activities", "delete", "--yes"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_NE(run.err.find("error: incomplete input"), std::string::npos) << run.err;

  std::filesystem::create_directories(dir.File("BackUp"));
  dir.Write("BackUp/10.0.0.7 6  1224153001.BAK", "000000011081226080000I0000\r\n*\r\n");
  run = Cli({"reload", "10.0.0.7 6  1224153001.BAK", "--activities"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out,
            "Reload file \"10.0.0.7 6  1224153001.BAK\" to Activity Table.\n1 stored, 0 already stored\n");
  EXPECT_EQ(Sql({"SELECT fsTermNo || ' ' || ftTime FROM tActivities"}), "007 2026-12-08 08:00:00");
  EXPECT_EQ(Cli({"reload", "10.0.0.7 6  1224153001.BAK"}).rc, 2);
}

TEST_F(CliActivitiesTest, DeleteWithoutATerminalNeedsYes) {
  if (::isatty(STDIN_FILENO)) GTEST_SKIP() << "stdin is a terminal here";
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "activities", "delete", "--card-from", "1", "--card-to", "99"},
                   out, err),
            1);
  EXPECT_NE(err.str().find("give --yes"), std::string::npos) << err.str();
  EXPECT_EQ(Sql({"SELECT COUNT(*) FROM tActivities"}), "3");
}

}  // namespace
}  // namespace korvo
