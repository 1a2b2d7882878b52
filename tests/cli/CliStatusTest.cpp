#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "cli/CliCommands.h"
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
