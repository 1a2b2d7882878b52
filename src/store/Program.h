#pragma once

#include <memory>
#include <string>

#include "store/MonthlyLog.h"
#include "store/ProgramFolder.h"
#include "store/SettingsRecord.h"
#include "store/UploadConfig.h"

namespace korvo {

class TClock;
class TOperatorUi;
class TDM;

// The folder of the running executable, ending with "/".
std::string ExecutableFolder();
// `folder` made absolute and ending with "/".
std::string NormaliseFolder(const std::string& folder);

// What lives for the whole run: the program folder, the settings record, the upload
// configuration, the log and, once created, the data module.
class TProgram {
 public:
  TProgram(std::string programFolder, TClock& clock, TOperatorUi& ui);
  ~TProgram();

  const std::string ProgramFolder;
  // How the folder was chosen, for the status report.
  TFolderSource FolderSource = TFolderSource::Executable;
  TClock& Clock;
  TOperatorUi& Ui;
  TMonthlyLog Log;
  TSettingsRecord Settings;
  TSysParam SysParam;

  std::string SettingsPath() const { return ProgramFolder + "KORVOSET.DAT"; }
  bool LoadSettings();
  bool SaveSettings();

  // Start-up: the settings first, then the data module. Returns the data module.
  TDM& Start();
  TDM& CreateDataModule();
  TDM* DM() const { return dm_.get(); }
  // The exit lines of the log and the release of the start-up query.
  void ShutDown();

 private:
  std::unique_ptr<TDM> dm_;
  bool shutDown_ = false;
};

}  // namespace korvo
