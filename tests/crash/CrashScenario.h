#pragma once

// What the crash child writes over and over, and what the test checks after killing it.
#include <string>

#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"

namespace korvo::test {

// Two settings records that differ in every text field, so any mix of the two shows.
inline TSettingsRecord CrashSettings(int variant) {
  TSettingsRecord r;
  r.ResetToDefaults();
  const std::string v = variant == 0 ? "A" : "B";
  r.SetCurAddr("10.0.0." + v + std::string(40, variant == 0 ? 'a' : 'b'));
  r.SetPrevAddr("prev " + v);
  r.SetCurLocation("Gate " + v);
  r.SetModemInit("ATZ" + std::string(90, variant == 0 ? '1' : '2'));
  r.SetCurPort(variant == 0 ? 1 : 2);
  r.SetOnlinePort(variant == 0 ? "8010" : "8020");
  return r;
}

inline TSysParam CrashUploadParam(int variant) {
  TSysParam p;
  p.OutputType = variant == 0 ? "TXT" : "DBF";
  p.OutputFormat = variant == 0 ? "CYMDHNSR" : "YMDHNSRC";
  p.OutputFileName = variant == 0 ? "A.TXT" : "B.DBF";
  p.DeleteAfterLoaded = variant == 0;
  p.RestartAfterLoaded = variant != 0;
  p.SkipDuplicates = variant == 0;
  return p;
}

// The compaction child adds this many rows of cards starting with "9" and deletes them again;
// the rows of cards starting with "1" stay.
inline constexpr int kCompactBatch = 400;
inline constexpr int kKeptRows = 1500;

}  // namespace korvo::test
