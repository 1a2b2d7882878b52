// The files beside the program: what is refused instead of read, and who may read what is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "link/PortsConfig.h"
#include "store/AtomicFile.h"
#include "store/Database.h"
#include "store/MonthlyLog.h"
#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace korvo {
namespace {

using test::TRecordingUi;
using test::TTempFolder;

enum class TPut { Fifo, Folder, Oversized };

void Put(const TTempFolder& dir, const std::string& name, TPut what) {
  const std::string path = dir.File(name);
  if (what == TPut::Fifo) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  } else if (what == TPut::Folder) {
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
  }
  if (what == TPut::Oversized)
    dir.Write(name, "[Ports]\r\nCOM1=/dev/null\r\n" + std::string(kConfigFileMaxBytes, ';'));
}

TEST(ConfigFiles, FifosFoldersAndOversizedFilesAreRefusedWithoutBlocking) {
  struct TCase {
    const char* name;
    TPut put;
    std::string expected;  // the warning or refusal, "" for none
  };
  const std::vector<TCase> cases = {
      {"UPLOAD.CFG", TPut::Fifo, "is not a regular file"},
      {"UPLOAD.CFG", TPut::Folder, "is not a regular file"},
      {"UPLOAD.CFG", TPut::Oversized, "is larger than 1 MiB"},
      {"PORTS.CFG", TPut::Fifo, "is not a regular file"},
      {"PORTS.CFG", TPut::Oversized, "is larger than 1 MiB"},
      {"KORVOSET.DAT", TPut::Fifo, "is not a regular file"},
      {"KORVOSET.DAT", TPut::Folder, "is not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(static_cast<int>(c.put)));
    TTempFolder dir;
    Put(dir, c.name, c.put);
    std::string refusal;
    const std::string name = c.name;
    if (name == "UPLOAD.CFG") {
      TSysParam p;
      p.OutputType = "kept";
      TRecordingUi ui;
      ReadUploadConfig(dir.Path(), p, ui);
      EXPECT_FALSE(WriteUploadConfig(dir.Path(), p, ui));
      EXPECT_EQ(p.OutputType, "kept");
      ASSERT_EQ(ui.Texts("warning").size(), 2u);
      refusal = ui.Texts("warning")[0];
      EXPECT_EQ(refusal, ui.Texts("warning")[1]);
      EXPECT_EQ(refusal.rfind("File " + UploadConfigPath(dir.Path()) + " ", 0), 0u);
    } else if (name == "PORTS.CFG") {
      EXPECT_EQ(SerialDevicePath(dir.Path(), 1, &refusal), "") << "no port is guessed";
    } else {
      TSettingsRecord record;
      record.SetLastLogin("kept");
      bool created = true;
      EXPECT_FALSE(LoadSettingsFile(dir.File(c.name), record, created, &refusal));
      EXPECT_FALSE(created);
      EXPECT_EQ(record.LastLogin(), "kept");
    }
    EXPECT_NE(refusal.find(c.expected), std::string::npos) << refusal;
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File(c.name).c_str(), &st), 0);
    EXPECT_EQ(S_ISREG(st.st_mode), c.put == TPut::Oversized) << "the refused file is left as it is";
  }
}

TEST(ConfigFiles, AnOversizedSettingsFileGivesItsFirstRecord) {
  TTempFolder dir;
  TSettingsRecord record;
  record.SetLastLogin("First");
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), record));
  const auto& b = record.Bytes();
  dir.Write("KORVOSET.DAT", std::string(b.begin(), b.end()) + std::string(kConfigFileMaxBytes, 'x'));
  TSettingsRecord read;
  bool created = true;
  std::string refusal;
  EXPECT_TRUE(LoadSettingsFile(dir.File("KORVOSET.DAT"), read, created, &refusal));
  EXPECT_EQ(read.LastLogin(), "First");
  EXPECT_EQ(refusal, "");
}

// Files are created under a umask that would let anyone read them: the program's own modes decide.
class FileModes : public ::testing::Test {
 protected:
  FileModes() : old_(::umask(0)) {}
  ~FileModes() override { ::umask(old_); }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
  }
  TTempFolder dir;

 private:
  mode_t old_;
};

TEST_F(FileModes, SettingsLogAndDatabaseGiveOthersNoAccess) {
  TVirtualClock clock;
  TMonthlyLog log(dir.Path(), clock);
  log.WriteLog("line", true);
  TSettingsRecord record;
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), record));
  CreatePrivately(dir.File("output.txt"));
  TDatabase db;
  db.Create(dir.File("Korvoweb.mdb"));
  db.Execute("CREATE TABLE t (a)");
  db.Close();
  EXPECT_EQ(Mode(log.CurrentPath()), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("KORVOSET.DAT")), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("output.txt")), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("Korvoweb.mdb")), 0600u);

  // A file the operator made readable stays so when it is replaced.
  ASSERT_EQ(::chmod(dir.File("KORVOSET.DAT").c_str(), 0644), 0);
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), record));
  EXPECT_EQ(Mode(dir.File("KORVOSET.DAT")), 0644u);
}

}  // namespace
}  // namespace korvo

namespace korvo {
namespace {

// Only temporaries of writers that are gone are removed; a running writer's and other files stay.
TEST(StaleTemporaries, OnlyThoseOfDeadWritersAreRemoved) {
  test::TTempFolder dir;
  const pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ASSERT_GT(dead, 0);
  ::waitpid(dead, nullptr, 0);
  const std::string gone = std::to_string(dead), alive = std::to_string(::getppid());
  const std::vector<std::pair<std::string, bool>> files = {
      {"KORVOSET.DAT.tmp" + gone, false}, {"UPLOAD.CFG.tmp" + gone, false},
      {"KORVOSET.DAT.tmp" + alive, true}, {"KORVOSET.DAT.tmp" + std::to_string(::getpid()), true},
      {"notes.tmp", true},                {"x.tmpabc", true},
      {".tmp" + gone, true},              {"KORVOSET.DAT", true}};
  for (const auto& [name, kept] : files) dir.Write(name, "x");
  EXPECT_EQ(RemoveStaleTemporaries(dir.Path()), 2);
  for (const auto& [name, kept] : files) EXPECT_EQ(::access(dir.File(name).c_str(), F_OK) == 0, kept) << name;
  EXPECT_EQ(TemporaryPathFor(dir.File("A")), dir.File("A") + ".tmp" + std::to_string(::getpid()));
}

}  // namespace
}  // namespace korvo
