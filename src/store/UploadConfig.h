#pragma once

#include <string>

namespace korvo {

class TOperatorUi;

// The upload configuration used by transaction loading, kept in "UPLOAD.CFG".
struct TSysParam {
  std::string OutputType;
  bool TermNoAsFileExt = false;
  bool DateAsFileName = false;
  std::string OutputFormat;
  std::string OutputFileName;
  std::string OutputEventFilter;
  bool DeleteAfterLoaded = false;
  bool RestartAfterLoaded = false;
  bool LoadAllTerminal = false;
  bool FlagTransaction = false;
  bool SynchronizeTime = false;
  // A record already stored (same card, time, direction, event, terminal and function code) is not
  // stored again: a re-attempt, a re-download or a reload does not double the activities. Off by
  // default, so that a file without the key collects as it always did.
  bool SkipDuplicates = false;
  // Set by the setup screen for the current run only; never stored.
  bool LockTerminal = false;
};

inline constexpr const char* kUploadSection = "Korvo2KWeb";

// The path of the file and the warning for a missing one. The program folder already ends with a
// separator; the doubled one is how the program has always named the file.
std::string UploadConfigPath(const std::string& programFolder);
std::string UploadConfigMissingText(const std::string& programFolder);

// Fills `param` from the file. A missing file gives the warning and leaves `param` unchanged.
void ReadUploadConfig(const std::string& programFolder, TSysParam& param, TOperatorUi& ui);
// Writes the twelve keys into an existing file, keeping every other line; never creates the file.
// Returns false when nothing could be written.
bool WriteUploadConfig(const std::string& programFolder, const TSysParam& param, TOperatorUi& ui);

}  // namespace korvo
