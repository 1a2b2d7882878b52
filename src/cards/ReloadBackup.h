#pragma once

#include <functional>
#include <string>

#include "collect/TransactionOutput.h"

namespace korvo {

class TDatabase;
struct TSysParam;

// Where a reload reports: the meter (caption and maximum, then the position), the log and warnings.
struct TReloadSinks {
  std::function<void(const std::string& caption, int maximum)> Meter;
  std::function<void(int)> Progress;
  std::function<void()> ProcessMessages;
  std::function<void(const std::string&)> Log;
  std::function<void(const std::string&)> Warning;
};

struct TReloadResult {
  bool done = false;  // false when no file was chosen
  int stored = 0;
  int skipped = 0;         // left out as already stored (Skip Duplicates)
  std::string outputName;  // the output written to, as the log names it; empty without output
};

// Stores a backup file's records again in tActivities and/or writes them again to the configured
// output, as the download did. The terminal comes from the file's name and must be in tTerminals.
class TBackupReload {
 public:
  TBackupReload(TDatabase& db, const TSysParam& param, std::string programFolder, std::string century,
                TOutputDate today);

  // `fileName` is a name of BackupSources. Raises the engine's error, a file's error, or
  // std::runtime_error for a terminal missing from tTerminals; records stored before stay stored.
  TReloadResult Reload(const std::string& fileName, bool activities, bool output, const TReloadSinks& sinks);

  // The text file a reload writes: the name options applied with the day, month, year and hour of
  // the last record.
  std::string TextTarget(const std::string& lastRecord, const std::string& termNo) const;

 private:
  std::string TermNoOf(const std::string& address);
  void WriteText(const std::vector<std::string>& records, int cardDigits, const std::string& termNo,
                 const std::string& target, const TReloadSinks& sinks);

  TDatabase& db_;
  const TSysParam& param_;
  std::string folder_;
  std::string century_;
  TOutputDate today_;
};

}  // namespace korvo
