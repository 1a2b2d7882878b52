// tables send and show against a simulated network terminal: the ticks come from the stored lists,
// the terminal is checked with GETVER, and SelectedAddr stays where it was.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "store/SettingsRecord.h"
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

class CliTablesTest : public ::testing::Test {
 protected:
  CliTablesTest() {
    terminal->setParam(7, "6");
    const int port = tcp.add(terminal);
    Sql(
        {"INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort, fmHoliday, fmBlackLst, fmAccess) "
         "VALUES ('127.0.0.1', '001', 'Gate', " +
             std::to_string(port) + ", '2512\r\n0101\r\n', '123\r\n', '1\r\n')",
         "INSERT INTO tHoliday VALUES ('0101', 'New Year'), ('1108', 'Fair'), ('2512', 'Christmas')",
         "INSERT INTO tEmployees (fsCardNo, fsName, fmBioData) VALUES ('51234', 'Ann', '0A'), ('123', 'Bob', "
         "'')",
         "INSERT INTO tTimeTable VALUES (3, 'Office', '080000', '170000', 124), (5, 'Night', '220000', "
         "'060000', 255)",
         "INSERT INTO tAccess VALUES (1, 'Staff', '', '3\r')"});
  }
  // Statements run on the folder's database by a program of their own.
  void Sql(const Strings& statements) {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = program.Start();
    dm.Settings.SetSelectedAddr("1");
    program.SaveSettings();
    for (const auto& s : statements) dm.ADOC.Execute(s);
    program.ShutDown();
  }
  TRun Cli(const Strings& args) {
    Strings full{"--folder", dir.Path()};
    full.insert(full.end(), args.begin(), args.end());
    std::ostringstream out, err;
    const int rc = RunCli(full, out, err);
    return {rc, out.str(), err.str()};
  }
  Strings Wire() {
    Strings out = tcp.transcript().commands();
    tcp.transcript().clear();
    return out;
  }

  test::TTempFolder dir;
  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
};

TEST_F(CliTablesTest, SendTakesTheTicksOfTheStoredListAndChecksTheVersion) {
  const TRun run = Cli({"tables", "send", "holidays", "127.0.0.1"});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(run.out, "Job Complete.\n");
  EXPECT_EQ(Wire(), (Strings{"PAR 7", "GETVER", "LOCKSYS", "DELFILE SYSTEM\\HOLITBL.DAT",
                             "LOAD SYSTEM\\HOLITBL.DAT", "0101", "2512", "*", "UNLOCKSYS"}));
  EXPECT_EQ(terminal->file("SYSTEM\\HOLITBL.DAT"), (Strings{"0101", "2512"}));

  const TRun access = Cli({"tables", "send", "Access", "127.0.0.1"});
  ASSERT_EQ(access.rc, 0) << access.err;
  EXPECT_EQ(terminal->file("SYSTEM\\AXTIMET.DAT"), Strings{"080000170000124"});
  EXPECT_NE(access.err.find("warning: The time tables of this terminal have changed."), std::string::npos)
      << access.err;

  TSettingsRecord settings;
  bool created = false;
  ASSERT_TRUE(LoadSettingsFile(dir.File("KORVOSET.DAT"), settings, created));
  EXPECT_EQ(settings.SelectedAddr(), "1") << "SelectedAddr is not moved";
}

TEST_F(CliTablesTest, ATerminalThatIsNoKorvoGetsOnlyTheTwoReads) {
  terminal->setVersion("MODEM READY");
  const TRun run = Cli({"tables", "send", "blacklist", "127.0.0.1"});
  EXPECT_EQ(run.rc, 1);
  EXPECT_NE(run.err.find("warning: Can't access to Gate\n"), std::string::npos) << run.err;
  EXPECT_EQ(Wire(), (Strings{"PAR 7", "GETVER"}));
  EXPECT_EQ(terminal->files("SYSTEM"), Strings{});
}

TEST_F(CliTablesTest, ShowPrintsTheRowsWithTheirTicks) {
  const struct {
    const char* page;
    std::string out;
  } cases[] = {
      {"Holidays", "[x]    0101   New Year\n[ ]    1108   Fair\n[x]    2512   Christmas\n"},
      {"blacklist", "[ ]  51234              Ann\n[x]  123                Bob\n"},
      {"6", "[ ]  51234              Ann\n[ ]  123                Bob  (no template)\n"},
      {"access", "Access levels\n[x]     1  Staff\nTime tables\n[x]     3  Office" + std::string(26, ' ') +
                     "080000 170000 -MTWTF--\n[ ]     5  Night" + std::string(27, ' ') +
                     "220000 060000 SMTWTFSH\n"},
  };
  for (const auto& c : cases) {
    const TRun run = Cli({"tables", "show", c.page, "127.0.0.1"});
    EXPECT_EQ(run.rc, 0) << c.page << run.err;
    EXPECT_EQ(run.out, c.out) << c.page;
  }
  EXPECT_EQ(Wire(), Strings{}) << "show reads the database only";
}

TEST_F(CliTablesTest, UsageErrorsAndUnknownTerminals) {
  const struct {
    Strings args;
    int rc;
    const char* err;
  } cases[] = {
      {{"tables", "send", "Cards", "127.0.0.1"}, 2, "no page Cards"},
      {{"tables", "send", "Biometrics", "127.0.0.1"}, 2, "fingerprint templates"},
      {{"tables", "show", "Expired", "10.9.9.9"}, 1, "No terminal has the address 10.9.9.9."},
      {{"tables", "send", "Holidays"}, 2, "ADDRESS"},
  };
  for (const auto& c : cases) {
    const TRun run = Cli(c.args);
    EXPECT_EQ(run.rc, c.rc) << c.err;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_EQ(Wire(), Strings{});
}

}  // namespace
}  // namespace korvo
