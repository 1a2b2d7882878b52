// Backup and output files hold card numbers: created without access for others, whatever the umask.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "collect/BackupFile.h"
#include "collect/DbfFile.h"
#include "collect/TextOutput.h"
#include "store/AtomicFile.h"
#include "store/MonthlyLog.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

unsigned Mode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 0777;
}

TEST(OutputModes, BackupTextAndDbfFilesGiveOthersNoAccess) {
  const mode_t old = ::umask(0);
  test::TTempFolder dir;
  const std::string backup = WriteBackupFile(dir.Path(), "127.0.0.1", 6,
                                             TLocalTime{2024, 12, 24, 15, 30, 1, 2}, {"000408173241224"});
  AppendLine("line", dir.File("out.txt"));
  AppendTextFile(dir.File("out.txt"), dir.File("all.txt"));
  const bool dbf = TDbfFile::Create(dir.File("out.dbf"), {{"CARD", 'C', 10, 0}}, 2024, 12, 24);
  ::umask(old);
  ASSERT_TRUE(dbf);
  EXPECT_EQ(Mode(dir.File("BackUp")), kPrivateFolderMode);
  EXPECT_EQ(Mode(backup), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("out.txt")), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("all.txt")), kPrivateFileMode);
  EXPECT_EQ(Mode(dir.File("out.dbf")), kPrivateFileMode);
}

}  // namespace
}  // namespace korvo
