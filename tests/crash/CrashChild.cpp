// The child the crash tests kill: it repeats one operation on a program folder until it is killed.
// It writes one line "ready" on standard output when the loop starts, so that the parent's random
// delay measures time spent inside the operation and not in start-up.
//
//   korvo_crash_child settings FOLDER
//   korvo_crash_child upload FOLDER
//   korvo_crash_child compact FOLDER
//   korvo_crash_child download FOLDER      (the terminal of the folder's database)
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cards/ActivityDelete.h"
#include "collect/TransactionDownload.h"
#include "crash/CrashScenario.h"
#include "link/SocketStream.h"
#include "store/DataMod.h"
#include "store/Database.h"
#include "store/Program.h"
#include "support/NetTestSupport.h"
#include "support/RecordingUi.h"
#include "support/VirtualClock.h"

using namespace korvo;

namespace {

void Ready() {
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
}

[[noreturn]] void SaveSettings(const std::string& folder) {
  const std::string path = folder + "KORVOSET.DAT";
  Ready();
  for (int i = 0;; ++i)
    if (!SaveSettingsFile(path, test::CrashSettings(i % 2))) std::_Exit(3);
}

[[noreturn]] void SaveUpload(const std::string& folder) {
  test::TRecordingUi ui;
  Ready();
  for (int i = 0;; ++i)
    if (!WriteUploadConfig(folder, test::CrashUploadParam(i % 2), ui)) std::_Exit(3);
}

[[noreturn]] void Compact(TDatabase& db) {
  TActivityFilter added;
  added.cardFrom = "9";
  added.cardTo = "99999999";
  // What a killed round committed but did not delete yet.
  DeleteActivities(db, added, [](const std::string&) {});
  Ready();
  for (;;) {
    {
      TTransaction t(db);
      for (int i = 0; i < test::kCompactBatch; ++i)
        db.Execute(
            "INSERT INTO tActivities (fsCardNo, ftTime, fcDirFlag, fsEventFlag, fsTermNo) VALUES (?, ?, "
            "'I', '00', '001')",
            {TextValue("9" + std::to_string(100000 + i)), TextValue("2026-12-09 10:00:00")});
      t.Commit();
    }
    if (DeleteActivities(db, added, [](const std::string&) {}) != test::kCompactBatch) std::_Exit(4);
  }
}

[[noreturn]] void Download(TDM& dm, TVirtualClock& clock, const std::string& folder) {
  auto pinger = std::make_shared<test::TFakePinger>(clock);
  pinger->waitsOnTimeout = false;
  dm.Link.Pinger = pinger;
  dm.Link.NetStreamFactory = [&clock] {
    return std::make_unique<TSocketStream>(test::HybridPoll(clock, 50));
  };
  TSysParam param;
  param.OutputType = "TXT";
  param.OutputFormat = "CYMDHNSR";
  param.OutputFileName = "NONE";
  param.DeleteAfterLoaded = true;
  TDownloadSinks sinks;
  Ready();
  for (;;) {
    TTransactionDownload job(dm.Link, dm.ADOC, param, folder, clock, sinks, {}, false);
    const TDownloadResult r = job.Run({"127.0.0.1"});
    if (!r.error.empty()) std::_Exit(5);
    clock.Advance(1000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1], folder = argv[2];
  if (mode == "settings") SaveSettings(folder);
  if (mode == "upload") SaveUpload(folder);
  TVirtualClock clock;
  test::TRecordingUi ui;
  TProgram program(folder, clock, ui);
  TDM& dm = program.Start();
  if (mode == "compact") Compact(dm.ADOC);
  if (mode == "download") Download(dm, clock, program.ProgramFolder);
  return 2;
}
