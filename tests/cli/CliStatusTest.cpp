#include <gtest/gtest.h>

#include <sstream>

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
