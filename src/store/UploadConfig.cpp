#include "store/UploadConfig.h"

#include <charconv>

#include "store/AtomicFile.h"
#include "store/IniFile.h"
#include "store/OperatorUi.h"

namespace korvo {
namespace {

std::string ReadText(const TIniFile& ini, const char* key, const char* def) {
  auto v = ini.Read(kUploadSection, key);
  return v ? *v : def;
}

bool ReadFlag(const TIniFile& ini, const char* key, bool def) {
  auto v = ini.Read(kUploadSection, key);
  if (!v || v->empty()) return def;
  const char* b = v->data();
  const char* e = b + v->size();
  if (*b == '+') ++b;
  long long n = 0;
  auto [ptr, ec] = std::from_chars(b, e, n);
  if (ec != std::errc() || ptr != e || b == e) return def;
  return n != 0;
}

// The file's text, or a warning: the file is missing, refused or unreadable.
bool ReadUploadText(const std::string& programFolder, std::string& text, TOperatorUi& ui) {
  const std::string path = UploadConfigPath(programFolder);
  const TFileRead outcome = ReadRegularFile(path, kConfigFileMaxBytes, text);
  if (outcome == TFileRead::Read) return true;
  const std::string refused = RefusedFileText(path, outcome);
  ui.Warning(refused.empty() ? UploadConfigMissingText(programFolder) : refused);
  return false;
}

const char* Flag(bool b) {
  return b ? "1" : "0";
}

}  // namespace

// The folder already ends with "/"; the second one is kept because the operator sees this path in
// the "not found" warning, whose text has always carried the doubled separator.
std::string UploadConfigPath(const std::string& programFolder) {
  return programFolder + "/UPLOAD.CFG";
}

std::string UploadConfigMissingText(const std::string& programFolder) {
  return "File " + UploadConfigPath(programFolder) + " not found";
}

void ReadUploadConfig(const std::string& programFolder, TSysParam& p, TOperatorUi& ui) {
  std::string text;
  if (!ReadUploadText(programFolder, text, ui)) return;
  TIniFile ini = TIniFile::Parse(text);
  p.OutputType = ReadText(ini, "Output Type", "TXT");
  p.TermNoAsFileExt = ReadFlag(ini, "Terminal No As File Ext", false);
  p.DateAsFileName = ReadFlag(ini, "Date As File Name", false);
  p.OutputFormat = ReadText(ini, "Output Format", "CYMDHNSR");
  p.OutputFileName = ReadText(ini, "Output FileName", "NONE");
  p.OutputEventFilter = ReadText(ini, "Output Event Filter", "NONE");
  p.DeleteAfterLoaded = ReadFlag(ini, "Delete After Loaded", false);
  p.RestartAfterLoaded = ReadFlag(ini, "Restart After Loaded", false);
  p.LoadAllTerminal = ReadFlag(ini, "Load All Terminal", false);
  p.FlagTransaction = ReadFlag(ini, "Flag Transaction", false);
  p.SynchronizeTime = ReadFlag(ini, "Synchronize Time", false);
  p.SkipDuplicates = ReadFlag(ini, "Skip Duplicates", false);
}

bool WriteUploadConfig(const std::string& programFolder, const TSysParam& p, TOperatorUi& ui) {
  std::string path = UploadConfigPath(programFolder);
  std::string text;
  if (!ReadUploadText(programFolder, text, ui)) return false;
  TIniFile ini = TIniFile::Parse(text);
  ini.Write(kUploadSection, "Output Type", p.OutputType);
  ini.Write(kUploadSection, "Terminal No As File Ext", Flag(p.TermNoAsFileExt));
  ini.Write(kUploadSection, "Date As File Name", Flag(p.DateAsFileName));
  ini.Write(kUploadSection, "Output Format", p.OutputFormat);
  ini.Write(kUploadSection, "Output FileName", p.OutputFileName);
  ini.Write(kUploadSection, "Output Event Filter", p.OutputEventFilter);
  ini.Write(kUploadSection, "Delete After Loaded", Flag(p.DeleteAfterLoaded));
  ini.Write(kUploadSection, "Restart After Loaded", Flag(p.RestartAfterLoaded));
  ini.Write(kUploadSection, "Load All Terminal", Flag(p.LoadAllTerminal));
  ini.Write(kUploadSection, "Flag Transaction", Flag(p.FlagTransaction));
  ini.Write(kUploadSection, "Synchronize Time", Flag(p.SynchronizeTime));
  ini.Write(kUploadSection, "Skip Duplicates", Flag(p.SkipDuplicates));
  return WriteFileAtomically(path, ini.Text());
}

}  // namespace korvo
