#include <gtest/gtest.h>

#include <filesystem>

#include "cards/ReloadBackup.h"
#include "cards/ReloadSource.h"
#include "collect/DbfFile.h"
#include "store/Database.h"
#include "store/UploadConfig.h"
#include "support/MainFixture.h"

namespace korvo {
namespace {

const std::string kName = "192.168.1.207 6  1224153001.BAK";

class Reload : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    AddTerminal("192.168.1.207", "001", "Gate");
    std::filesystem::create_directories(dir.File("BackUp"));
    param.OutputType = "TXT";
    param.OutputFormat = "DMYHNSR";
    param.OutputFileName = dir.File("out.txt");
  }
  TReloadResult Run(const std::string& name, bool activities, bool output) {
    TBackupReload reload(dm->ADOC, param, dir.Path(), "20", {2026, 12, 9});
    TReloadSinks sinks{
        [&](const std::string& caption, int max) { meter.push_back(caption + " " + std::to_string(max)); },
        [&](int p) { position = p; },
        {},
        [&](const std::string& s) { log.push_back(s); },
        [&](const std::string& s) { warnings.push_back(s); }};
    return reload.Reload(name, activities, output, sinks);
  }
  int Stored() {
    TQuery q(dm->ADOC);
    q.SetSQL("SELECT COUNT(*) FROM tActivities WHERE fsTermNo='001'");
    q.Open();
    return static_cast<int>(q.Field(0).AsInteger());
  }

  TSysParam param;
  std::vector<std::string> meter, log, warnings;
  int position = 0;
};

TEST(ReloadName, AddressAndCardDigitsFromTheFirstTwoWords) {
  struct Case {
    std::string name, address;
    int digits;
  };
  for (const auto& c : std::vector<Case>{{"192.168.1.207 8  1224153001.BAK", "192.168.1.207", 8},
                                         {"3 x  1224153001.BAK", "3", 1},
                                         {"4 12  1224153001_2.BAK", "4", 12},
                                         {"5 6x  1224153001.BAK", "5", 1}}) {
    const TBackupName n = ParseBackupName(c.name);
    EXPECT_EQ(n.address, c.address) << c.name;
    EXPECT_EQ(n.cardDigits, c.digits) << c.name;
  }
}

TEST_F(Reload, SourcesAreBackupsWithABlankInNameOrder) {
  for (const char* name : {"b 6  1.BAK", "A 6  2.bak", "nospace.BAK", "c 6  3.TXT"})
    dir.Write(std::string("BackUp/") + name, "");
  EXPECT_EQ(BackupSources(dir.Path()), (std::vector<std::string>{"A 6  2.bak", "b 6  1.BAK"}));
}

TEST_F(Reload, StoresAgainEachTimeUnlessSkippingDuplicates) {
  dir.Write("BackUp/" + kName, "000408173081226075800I0000\r\n\r\n000408174081226170300O0100\r\n*\r\n");
  for (bool skip : {false, true}) {
    dm->ADOC.Execute("DELETE FROM tActivities");
    param.SkipDuplicates = skip;
    EXPECT_EQ(Run(kName, true, false).stored, 2);
    EXPECT_EQ(Run(kName, true, false).stored, skip ? 0 : 2);
    EXPECT_EQ(Stored(), skip ? 2 : 4);
  }
  EXPECT_EQ(meter.back(), "A C T I V I T I E S 2");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(log.back(), "Reload file \"" + kName + "\" to Activity Table.");
  TQuery q(dm->ADOC);
  q.SetSQL("SELECT * FROM tActivities ORDER BY ftTime");
  q.Open();
  EXPECT_EQ(q.FieldByName("fsCardNo").AsString(), "408173");
  EXPECT_EQ(q.FieldByName("ftTime").AsString(), "2026-12-08 07:58:00");
}

TEST_F(Reload, RefusesAnUnknownTerminalAndAMissingChoice) {
  dir.Write("BackUp/10.0.0.9 6  1224153001.BAK", "000408173081226075800I0000\r\n");
  EXPECT_THROW(Run("10.0.0.9 6  1224153001.BAK", true, false), std::runtime_error);
  EXPECT_THROW(Run("10.0.0.9 6  1224153001.BAK", false, true), std::runtime_error);
  EXPECT_EQ(Stored(), 0);
  EXPECT_FALSE(Run("", true, true).done);
  EXPECT_EQ(warnings, std::vector<std::string>{"No backup file is selected."});
}

TEST_F(Reload, TwoDaysGoToOneFileNamedByTheLastRecord) {
  std::string content;
  for (int i = 0; i < 240; ++i) {
    char record[40];
    std::snprintf(record, sizeof record, "%09d%s%02d%02d00I0000\r\n", 400000 + i,
                  i < 120 ? "081226" : "091226", 8 + (i % 120) / 12, (i % 12) * 5);
    content += record;
  }
  dir.Write("BackUp/" + kName, content);
  param.DateAsFileName = true;
  const TReloadResult r = Run(kName, false, true);
  EXPECT_EQ(r.outputName, dir.File("out09122617.txt"));
  const std::string text = dir.Read("out09122617.txt");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 240);
  EXPECT_EQ(text.substr(0, 20), "081226080000400000\r\n");
  EXPECT_EQ(meter, std::vector<std::string>{"O U T P U T   F I L E 240"});
  EXPECT_EQ(
      log, std::vector<std::string>{"Reload file \"" + kName + "\" to " + dir.File("out09122617.txt") + "."});
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_EQ(e.path().filename().string().find("korvo-reload-"), std::string::npos);
  EXPECT_EQ(Stored(), 0);
}

TEST_F(Reload, OutputByTypeAndNoTemporaryFileLeftOnFailure) {
  dir.Write("BackUp/" + kName, "000408173081226075800I0000\r\n000408174081226170300O0100\r\n");
  param.OutputType = "DBF";
  param.OutputFileName = dir.File("out.dbf");
  for (int run = 0; run < 2; ++run) EXPECT_EQ(Run(kName, false, true).outputName, dir.File("out.dbf"));
  auto table = TDbfFile::Open(dir.File("out.dbf"), 2026, 12, 9);
  ASSERT_TRUE(table);
  EXPECT_EQ(table->RecordCount(), 4);  // appended to, not made anew
  EXPECT_EQ(log.back(), "Reload file \"" + kName + "\" to " + dir.File("out.dbf") + ".");

  param.OutputType = "TXT";
  param.OutputFileName = dir.File("no/such/folder/out.txt");
  EXPECT_THROW(Run(kName, false, true), std::runtime_error);
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_EQ(e.path().filename().string().find("korvo-reload-"), std::string::npos);
}

TEST_F(Reload, NoneWritesNothingButTheLogLine) {
  dir.Write("BackUp/" + kName, "000408173081226075800I0000\r\n");
  param.OutputFileName = "NONE";
  Run(kName, false, true);
  EXPECT_EQ(meter, std::vector<std::string>{"O U T P U T   F I L E 1"});
  EXPECT_EQ(log, std::vector<std::string>{"Reload file \"" + kName + "\" to NONE."});
  param.OutputFileName = "None";
  meter.clear();
  Run(kName, false, true);
  EXPECT_TRUE(meter.empty());
}

}  // namespace
}  // namespace korvo
