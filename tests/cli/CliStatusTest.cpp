#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/VisibleText.h"
#include "store/SettingsRecord.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;

TEST(CliStatus, EmptyFolderGetsItsFilesAndTheStatusIsPrinted) {
  TTempFolder dir;
  std::ostringstream out, err;
  int rc = RunCli({"--folder", dir.Path(), "status"}, out, err);
  EXPECT_EQ(rc, 0) << err.str();
  EXPECT_NE(err.str().find("warning: File " + dir.Path() + "/UPLOAD.CFG not found"), std::string::npos)
      << err.str();
  std::string o = out.str();
  EXPECT_NE(o.find("Version 2.00"), std::string::npos);
  EXPECT_NE(o.find("LastLogin=VELNARI\n"), std::string::npos);
  EXPECT_NE(o.find("ModemSpeed=19200\n"), std::string::npos);
  EXPECT_NE(o.find("OnlinePort=8010\n"), std::string::npos);
  EXPECT_NE(o.find("tLogins=1\n"), std::string::npos);
  EXPECT_NE(o.find("tEventMap=10\n"), std::string::npos);
  EXPECT_NE(o.find("tActivities=0\n"), std::string::npos);
  EXPECT_TRUE(dir.Exists("KORVOSET.DAT"));
  EXPECT_TRUE(dir.Exists("Korvoweb.mdb"));
  EXPECT_FALSE(dir.Exists("UPLOAD.CFG"));

  // The log tells the same story, in start-up order, closed by the indent-only separator.
  std::string log;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    if (entry.path().filename().string().rfind("LOG_", 0) == 0)
      log = dir.Read(entry.path().filename().string());
  std::vector<std::string> order = {"  Reset All Parameter\r\n", "  Running KORVO2K/Bio UTILITY.\r\n",
                                    "  Exit from KORVO2K/Bio UTILITY.\r\n"};
  std::size_t at = 0;
  for (const auto& line : order) {
    std::size_t found = log.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " in " << log;
    at = found + line.size();
  }
  EXPECT_EQ(log.substr(at), std::string(21, ' ') + "\r\n");
}

TEST(CliStatus, ControlCharactersOfTheSettingsAndTheUploadConfigurationAreShownEscaped) {
  TTempFolder dir;
  TSettingsRecord s;
  s.ResetToDefaults();
  s.SetCurLocation("Gate\x1b]0;owned\x07");
  s.SetModemInit("ATZ\r\nATE0");
  s.SetLastLogin("Ann\u009d2J");  // the C1 control OSC, a byte Windows-1252 leaves undefined
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), s));
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput FileName=out\x1b[2J.txt\r\n");
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--folder", dir.Path(), "status"}, out, err), 0) << err.str();
  const std::string o = out.str();
  EXPECT_NE(o.find("CurLocation=Gate<1B>]0;owned<07>\n"), std::string::npos) << o;
  EXPECT_NE(o.find("ModemInit=ATZ<0D><0A>ATE0\n"), std::string::npos) << o;
  EXPECT_NE(o.find("LastLogin=Ann<9D>2J\n"), std::string::npos) << o;
  EXPECT_NE(o.find("Output FileName=out<1B>[2J.txt\n"), std::string::npos) << o;
  for (char c : o) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= ' ') << int(c);
}

TEST(CliStatus, OneLineTextEscapesEveryControlAndKeepsOtherCharacters) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain text", "plain text"},
      {"a\tb\x7f", "a<09>b<7F>"},
      {"\xc2\x85\xc2\xa0\xc3\xa9", "<85>\xc2\xa0\xc3\xa9"},  // NEL escaped, no-break space and é kept
      {"\xc2", "\xc2"},
  };
  for (const auto& [in, shown] : cases) EXPECT_EQ(OneLineText(in), shown);
}

TEST(CliStatus, UnknownCommandsAndADamagedDatabaseFail) {
  TTempFolder dir;
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "frobnicate"}, out, err), 2);
  EXPECT_NE(err.str().find("unknown command frobnicate"), std::string::npos);
  dir.Write("Korvoweb.mdb", std::string(2048, 'x'));
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "status"}, out2, err2), 1);
  EXPECT_NE(err2.str().find("file is not a database"), std::string::npos) << err2.str();
}

}  // namespace
}  // namespace korvo
