#include <gtest/gtest.h>
#include <sys/stat.h>

#include "store/DataMod.h"
#include "store/Program.h"
#include "store/Schema.h"
#include "support/LogMessages.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace korvo {
namespace {

using test::LogMessages;
using test::TRecordingUi;
using test::TTempFolder;

TEST(Startup, FirstStartInAnEmptyFolder) {
  TTempFolder dir;
  TVirtualClock clock;
  TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = program.Start();
  EXPECT_TRUE(dm.DatabaseOpen());
  EXPECT_EQ(dm.VersionText, "Version 2.00");
  EXPECT_TRUE(dm.Link.ModemLinkState.empty());
  ASSERT_NE(dm.AuxQry, nullptr);
  EXPECT_TRUE(dm.AuxQry->Active());
  EXPECT_EQ(dm.AuxQry->SQL, "SELECT fsAddr,fmHoliday FROM tTerminals");
  EXPECT_EQ(dm.TermQry.SQL, "SELECT * FROM tTerminals ORDER BY fsAddr");
  EXPECT_EQ(dm.CommQry.SQL, "SELECT fsAddr,fsTermNo,fsLocation,fnPort FROM tTerminals ORDER BY fsAddr");
  EXPECT_EQ(dm.AdmQry.SQL, "SELECT * FROM tLogins ORDER BY fsLoginName");
  EXPECT_EQ(dm.EveQry.SQL, "SELECT * FROM tDirMap ORDER BY fcDirFlag");
  EXPECT_EQ(dm.CHQry.SQL, "SELECT fsCardNo,fsIDNo,fsName,fbPhoto FROM tEmployees ORDER BY fsCardNo");
  EXPECT_EQ(ui.Texts("warning"), (std::vector<std::string>{"File " + dir.Path() + "/UPLOAD.CFG not found"}));
  EXPECT_EQ(dir.Read("KORVOSET.DAT").size(), 356u);

  struct stat st {};
  ASSERT_EQ(::stat(dir.File("Korvoweb.mdb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  program.ShutDown();
  EXPECT_EQ(dm.AuxQry, nullptr);
  std::string log = dir.Read(program.Log.CurrentPath().substr(dir.Path().size()));
  auto lines = LogMessages(log);
  ASSERT_EQ(lines.size(), 5u) << log;
  EXPECT_EQ(lines[0], "Reset All Parameter");
  EXPECT_EQ(lines[1], "Running KORVO2K/Bio UTILITY.");
  EXPECT_EQ(lines[2], "New database created : " + dir.Path() + "Korvoweb.mdb.");
  EXPECT_EQ(lines[3], "Exit from KORVO2K/Bio UTILITY.");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(log.substr(log.size() - 23), std::string(21, ' ') + "\r\n");
}

TEST(Startup, TheNewDatabaseHasEveryTableInOrderAndTheInstalledRows) {
  TTempFolder dir;
  TVirtualClock clock;
  TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = program.Start();
  TQuery q(dm.ADOC);
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"tTerminals",
       {"fsAddr", "fsTermNo", "fsLocation", "fnPort", "fmHoliday", "fmTimeTbl", "fmAccess", "fmAlarm",
        "fmBlackLst", "fmMessage", "fmSPCEnroll", "fmBioUsrLst", "fmAdminLst", "fmIDCard", "fmExpired",
        "fmAxGroup"}},
      {"tEmployees",
       {"fsCardNo", "fsIDNo", "fsName", "fbPhoto", "fnAcsCode", "fsPIN", "fnPINTime", "fnAdmin",
        "fmBioData"}},
      {"tActivities", {"fsCardNo", "ftTime", "fcDirFlag", "fsEventFlag", "fsTermNo", "fsFunctionCode"}},
      {"tDirMap", {"fcDirFlag", "fsDirCode", "fsDirDisplay"}},
      {"tEventMap", {"fsEventFlag", "fsEventCode", "fsEventDisplay"}},
      {"tLogins", {"fsLoginName", "fsPassword"}},
      {"tHoliday", {"fsDate", "fsDesc"}},
      {"tTimeTable", {"fnTTCode", "fsTTDesc", "fsTTStart", "fsTTEnd", "fnTTDay"}},
      {"tAccess", {"fnAcsCode", "fsAcsDesc", "fsAcsSpare", "fmAcsTTLst"}},
      {"tAlarm", {"fnAlarmCode", "fsAlarmTime", "fnAlarmDur", "fnAlarmRelay", "fnAlarmDay"}},
      {"tExpired", {"fsCardNo", "fsExpired"}},
  };
  ASSERT_EQ(expected.size(), TableNames().size());
  for (const auto& [table, columns] : expected) {
    q.SetSQL("SELECT * FROM " + table);
    q.Open();
    std::vector<std::string> names;
    for (int i = 0; i < q.FieldCount(); ++i) names.push_back(q.FieldName(i));
    EXPECT_EQ(names, columns) << table;
  }
  q.SetSQL("SELECT * FROM tLogins");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(XorText(q.FieldByName("fsLoginName").AsString(), kLoginKey), "Administrator");
  EXPECT_NE(q.FieldByName("fsPassword").AsString().find("$argon2"), std::string::npos);
  // Every event flag's row joins with a direction whose flag and code agree, so both ways of
  // storing a transaction show in the activity browser.
  q.SetSQL("SELECT count(*) AS n FROM tDirMap WHERE fcDirFlag=fsDirCode");
  q.Open();
  EXPECT_EQ(q.FieldByName("n").AsInteger(), 5);
  q.SetSQL(
      "SELECT group_concat(fcDirFlag || fsDirDisplay, ',') AS d FROM tDirMap WHERE fcDirFlag IN ('0', '1')");
  q.Open();
  EXPECT_EQ(q.FieldByName("d").AsString(), "0In,1Out");
  q.SetSQL("SELECT fsEventDisplay FROM tEventMap ORDER BY fsEventFlag");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 10);
  EXPECT_EQ(q.FieldByName("fsEventDisplay").AsString(), "Access Granted");
}

TEST(Startup, ASecondStartOpensTheSameFilesQuietly) {
  TTempFolder dir;
  TVirtualClock clock;
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput Type=DBF\r\n");
  {
    TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    program.Start();
    program.Settings.SetCurAddr("10.0.0.5");
    program.SaveSettings();
    program.ShutDown();
  }
  TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = program.Start();
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(program.Settings.CurAddr(), "10.0.0.5");
  EXPECT_EQ(program.SysParam.OutputType, "DBF");
  EXPECT_TRUE(dm.DatabaseOpen());
}

TEST(Startup, ADatabaseThatCannotBeOpenedIsReportedAndStartUpGoesOn) {
  TTempFolder dir;
  dir.Write("Korvoweb.mdb", std::string(2048, 'x'));
  TVirtualClock clock;
  TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = program.Start();
  EXPECT_FALSE(dm.DatabaseOpen());
  EXPECT_EQ(dm.AuxQry, nullptr);
  auto errors = ui.Texts("error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("file is not a database"), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find(dm.DatabasePath()), std::string::npos) << "the error names the file";
  EXPECT_EQ(dir.Read("Korvoweb.mdb"), std::string(2048, 'x')) << "a damaged file is never replaced";
  program.ShutDown();
}

}  // namespace
}  // namespace korvo
