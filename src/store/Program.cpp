#include "store/Program.h"

#include <unistd.h>

#include <filesystem>

#include "store/AtomicFile.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"

namespace korvo {

std::string ExecutableFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return NormaliseFolder(".");
  return NormaliseFolder(exe.parent_path().string());
}

std::string NormaliseFolder(const std::string& folder) {
  std::error_code ec;
  std::string abs = std::filesystem::absolute(folder.empty() ? "." : folder, ec).lexically_normal().string();
  if (ec) abs = folder;
  if (abs.empty() || abs.back() != '/') abs += '/';
  return abs;
}

TProgram::TProgram(std::string programFolder, TClock& clock, TOperatorUi& ui)
    : ProgramFolder(std::move(programFolder)), Clock(clock), Ui(ui), Log(ProgramFolder, clock) {}

TProgram::~TProgram() = default;

bool TProgram::LoadSettings() {
  bool created = false;
  // The log line comes first so that it stands even when the new file cannot be written.
  std::error_code ec;
  if (!std::filesystem::exists(SettingsPath(), ec) && !ec) Log.WriteLog("Reset All Parameter", true);
  std::string refusal;
  const bool loaded = LoadSettingsFile(SettingsPath(), Settings, created, &refusal);
  if (!refusal.empty()) Ui.Warning(refusal);
  return loaded;
}

bool TProgram::SaveSettings() {
  return SaveSettingsFile(SettingsPath(), Settings);
}

TDM& TProgram::Start() {
  // A save or a backup killed before its rename leaves its temporary behind; nothing reads them.
  RemoveStaleTemporaries(ProgramFolder);
  RemoveStaleTemporaries(ProgramFolder + "BackUp/");
  LoadSettings();
  return CreateDataModule();
}

TDM& TProgram::CreateDataModule() {
  dm_ = std::make_unique<TDM>(*this);
  return *dm_;
}

void TProgram::ShutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  Log.WriteLog("Exit from KORVO2K/Bio UTILITY.", true);
  Log.WriteLog("", false);
  if (dm_) dm_->FreeAuxQuery();
}

}  // namespace korvo
