// A child program repeats a save, a compaction or a download and is killed (SIGKILL) at a random
// moment; the folder it leaves is then started on with the program's own start-up code.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "crash/CrashScenario.h"
#include "store/AtomicFile.h"
#include "store/DataMod.h"
#include "store/Database.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"
#include "support/VirtualClock.h"

extern char** environ;

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

// Starts the child on `folder`, waits for its "ready" line, lets it work `delayUs` and kills it.
// False when the child ended on its own (it found a failure) or never got ready.
bool RunAndKill(const std::string& mode, const std::string& folder, int delayUs) {
  int out[2];
  if (::pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string path = KORVO_CRASH_CHILD;
  char* argv[] = {path.data(), const_cast<char*>(mode.c_str()), const_cast<char*>(folder.c_str()), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc != 0) {
    ::close(out[0]);
    return false;
  }
  char line[6] = {};
  std::size_t got = 0;
  while (got < sizeof line) {
    const ssize_t n = ::read(out[0], line + got, sizeof line - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(out[0]);
  std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return got == sizeof line && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

std::size_t FileSize(const std::string& path) {
  std::error_code ec;
  const auto n = std::filesystem::file_size(path, ec);
  return ec ? 0 : n;
}

std::string IntegrityCheck(TDatabase& db) {
  TQuery q(db);
  q.SetSQL("PRAGMA integrity_check");
  q.Open();
  return q.Field(0).AsString();
}

int Count(TDatabase& db, const std::string& sql) {
  TQuery q(db);
  q.SetSQL(sql);
  q.Open();
  return static_cast<int>(q.Field(0).AsInteger());
}

// The temporaries a killed writer left in `folder`.
Strings Temporaries(const std::string& folder) {
  Strings names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().find(".tmp") != std::string::npos) names.push_back(it->path());
  return names;
}

class Crash : public ::testing::Test {
 protected:
  // Random delays from a fixed seed, so that a failure can be repeated.
  int Delay(int maxUs) { return std::uniform_int_distribution<int>(0, maxUs)(random); }

  test::TTempFolder dir;
  TVirtualClock clock;
  test::TRecordingUi ui;
  std::mt19937 random{20261209};
};

// Settings and the upload configuration: after any kill the file is whole and is one of the two
// versions the child alternates between, as the next start reads it.
TEST_F(Crash, SavesLeaveTheOldFileOrTheNewOne) {
  dir.Write("UPLOAD.CFG", "; keep this note\r\n[Korvo2KWeb]\r\nOutputType=TXT\r\n");
  const std::string uploadText = [&] {
    std::string t;
    ReadWholeFile(UploadConfigPath(dir.Path()), t);
    return t;
  }();
  ASSERT_FALSE(uploadText.empty()) << "the configuration file is found under its program name";
  // The file a kill before the first save leaves is one of the two versions too.
  ASSERT_TRUE(WriteUploadConfig(dir.Path(), test::CrashUploadParam(0), ui));
  ASSERT_TRUE(SaveSettingsFile(dir.File("KORVOSET.DAT"), test::CrashSettings(0)));
  for (int i = 0; i < 16; ++i) {
    const bool settings = i % 2 == 0;
    SCOPED_TRACE(std::string(settings ? "settings" : "upload") + " round " + std::to_string(i));
    ASSERT_TRUE(RunAndKill(settings ? "settings" : "upload", dir.Path(), Delay(20000)));
    if (settings) {
      ASSERT_EQ(FileSize(dir.File("KORVOSET.DAT")), TSettingsRecord::kSize);
      TProgram program(dir.Path(), clock, ui);
      ASSERT_TRUE(program.LoadSettings());
      const auto& bytes = program.Settings.Bytes();
      EXPECT_TRUE(bytes == test::CrashSettings(0).Bytes() || bytes == test::CrashSettings(1).Bytes());
    } else {
      TSysParam read;
      ReadUploadConfig(dir.Path(), read, ui);
      const int v = read.OutputFileName == "A.TXT" ? 0 : 1;
      const TSysParam want = test::CrashUploadParam(v);
      EXPECT_EQ(read.OutputFileName, want.OutputFileName);
      EXPECT_EQ(read.OutputType, want.OutputType);
      EXPECT_EQ(read.OutputFormat, want.OutputFormat);
      EXPECT_EQ(read.DeleteAfterLoaded, want.DeleteAfterLoaded);
      EXPECT_EQ(read.RestartAfterLoaded, want.RestartAfterLoaded);
      EXPECT_EQ(read.SkipDuplicates, want.SkipDuplicates);
      std::string text;
      ASSERT_TRUE(ReadWholeFile(UploadConfigPath(dir.Path()), text));
      EXPECT_EQ(text.rfind("; keep this note\r\n", 0), 0u) << text;
    }
  }
  TProgram program(dir.Path(), clock, ui);
  program.Start();
  EXPECT_EQ(Temporaries(dir.Path()), Strings{}) << "the next start removes what killed saves left";
  program.ShutDown();
}

// Compaction: the engine's journal brings the database back whole, the kept rows are all there and
// the batch is there wholly or not at all.
TEST_F(Crash, CompactionKeepsTheDatabaseWhole) {
  {
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = test::StartProgram(program);
    TTransaction t(dm.ADOC);
    for (int i = 0; i < test::kKeptRows; ++i)
      dm.ADOC.Execute(
          "INSERT INTO tActivities (fsCardNo, ftTime, fcDirFlag, fsEventFlag, fsTermNo) VALUES (?, "
          "'2026-12-08 09:00:00', 'O', '01', '002')",
          {TextValue("1" + std::to_string(100000 + i))});
    t.Commit();
    program.ShutDown();
  }
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE("round " + std::to_string(i));
    ASSERT_TRUE(RunAndKill("compact", dir.Path(), Delay(150000)));
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = program.Start();
    ASSERT_TRUE(dm.DatabaseOpen());
    EXPECT_EQ(IntegrityCheck(dm.ADOC), "ok");
    EXPECT_EQ(
        Count(dm.ADOC, "SELECT COUNT(*) FROM tActivities WHERE fsCardNo LIKE '1%' AND fsTermNo = '002'"),
        test::kKeptRows);
    const int batch = Count(dm.ADOC, "SELECT COUNT(*) FROM tActivities WHERE fsCardNo LIKE '9%'");
    EXPECT_TRUE(batch == 0 || batch == test::kCompactBatch) << batch;
    program.ShutDown();
  }
}

// The download, killed before, while and after it stores: every record the terminal gave up is in
// a whole backup file written before the deletion, and the rows stored are whole attempts. The
// deletion comes before the rows are stored and the link's wait for the end of the deletion's reply
// lies between them, so a kill there leaves those records in the backup file alone.
TEST_F(Crash, DownloadNeverLosesWhatTheTerminalDeleted) {
  // Two files of many records, so that kills also land while an attempt's rows are being stored.
  constexpr int kPerFile = 100, kPerAttempt = 2 * kPerFile;
  const Strings days = {"241224", "251224"};
  std::vector<Strings> fileRecords(2);
  std::string wholeBackup;  // its lines carry the date of the file they came from
  for (int f = 0; f < 2; ++f)
    for (int i = 0; i < kPerFile; ++i) {
      const std::string line = korvosim::transactionLine(std::to_string(400000000 + f * 1000 + i), 8 + i / 60,
                                                         i % 60, f, 'I', "00");
      fileRecords[f].push_back(line);
      wholeBackup += line.substr(0, 9) + days[f] + line.substr(9) + "\r\n";
    }
  korvosim::TcpFront tcp;
  auto terminal = std::make_shared<korvosim::Terminal>();
  const auto stock = [&] {
    // A kill between the two commands of the deletion leaves the folder itself removed.
    korvosim::SessionState session;
    if (!terminal->hasFolder("TRANS")) terminal->execute("MKDIR TRANS", session, korvosim::Transport::Tcp);
    for (int f = 0; f < 2; ++f) terminal->setFile("TRANS\\" + days[f] + ".DAT", fileRecords[f]);
  };
  stock();
  const int port = tcp.add(terminal);
  {
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = test::StartProgram(program);
    dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, ?, ?, ?)",
                    {TextValue("127.0.0.1"), TextValue("001"), TextValue("Gate"), IntValue(port)});
    program.ShutDown();
  }
  const std::string backups = dir.File("BackUp");
  const auto backupFiles = [&] {
    Strings names;
    if (std::filesystem::is_directory(backups))
      for (const auto& e : std::filesystem::directory_iterator(backups)) names.push_back(e.path());
    return names;
  };
  // Checked by the simulator's thread the moment the terminal is told to delete.
  std::atomic<int> deletions{0}, deletedWithoutBackup{0};
  std::atomic<std::size_t> backupsAtLastDeletion{0};
  tcp.transcript().setListener([&](const korvosim::TranscriptEntry& e) {
    if (e.text != "RMDIR TRANS") return;
    ++deletions;
    const Strings files = backupFiles();
    bool whole = files.size() > backupsAtLastDeletion;
    for (const auto& f : files) {
      std::string content;
      whole = whole && ReadWholeFile(f, content) && content == wholeBackup;
    }
    if (!whole) ++deletedWithoutBackup;
    backupsAtLastDeletion = files.size();
  });

  int restocked = 0;
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE("round " + std::to_string(i));
    ASSERT_TRUE(RunAndKill("download", dir.Path(), Delay(150000)));
    TProgram program(dir.Path(), clock, ui);
    TDM& dm = program.Start();
    ASSERT_TRUE(dm.DatabaseOpen());
    EXPECT_EQ(IntegrityCheck(dm.ADOC), "ok");
    EXPECT_EQ(Temporaries(backups), Strings{});
    const int rows = Count(dm.ADOC, "SELECT COUNT(*) FROM tActivities");
    const Strings files = backupFiles();
    EXPECT_EQ(rows % kPerAttempt, 0) << "an attempt is stored wholly or not at all";
    EXPECT_LE(rows / kPerAttempt, static_cast<int>(files.size())) << "every stored attempt has its backup";
    EXPECT_EQ(Count(dm.ADOC,
                    "SELECT COUNT(*) FROM (SELECT fsCardNo FROM tActivities GROUP BY fsCardNo, ftTime, "
                    "fcDirFlag, fsEventFlag HAVING COUNT(*) <> " +
                        std::to_string(rows / kPerAttempt) + ")"),
              0)
        << "each record is stored once per stored attempt";
    for (const auto& f : files) {
      std::string content;
      ASSERT_TRUE(ReadWholeFile(f, content));
      EXPECT_EQ(content, wholeBackup) << f;
    }
    program.ShutDown();
    if (terminal->files("TRANS").empty()) {
      ++restocked;
      stock();
    }
  }
  tcp.transcript().setListener({});
  EXPECT_EQ(deletedWithoutBackup, 0);
  EXPECT_GE(restocked, 1) << "some rounds got as far as deleting the terminal's files";
  EXPECT_LE(restocked, deletions) << "the terminal lost its files only by a deletion seen";
}

}  // namespace
}  // namespace korvo
