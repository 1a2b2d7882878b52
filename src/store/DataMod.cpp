#include "store/DataMod.h"

#include <cstdio>
#include <filesystem>

#include "link/TermiosSerialDevice.h"
#include "store/OperatorUi.h"
#include "store/Program.h"
#include "store/Schema.h"
#include "store/UploadConfig.h"

namespace korvo {

TDM::TDM(TProgram& program)
    : Program(program),
      Settings(program.Settings),
      SysParam(program.SysParam),
      Clock(program.Clock),
      Ui(program.Ui),
      QCCom(program.Clock, program.Ui, std::make_unique<TTermiosSerialFactory>(program.ProgramFolder)),
      Link(program.Clock, program.Ui, QCCom) {
  WriteLog("Running KORVO2K/Bio UTILITY.", true);
  VersionText = "Version " KORVO_VERSION;
  WireLink();
  QCCom.SetBaud(115200);
  QCCom.ResponseTime = 100;
  ReadUploadConfig();
  TermQry.SQL = "SELECT * FROM tTerminals ORDER BY fsAddr";
  CommQry.SQL = "SELECT fsAddr,fsTermNo,fsLocation,fnPort FROM tTerminals ORDER BY fsAddr";
  AdmQry.SQL = "SELECT * FROM tLogins ORDER BY fsLoginName";
  EveQry.SQL = "SELECT * FROM tDirMap ORDER BY fcDirFlag";
  CHQry.SQL = "SELECT fsCardNo,fsIDNo,fsName,fbPhoto FROM tEmployees ORDER BY fsCardNo";
  try {
    OpenDatabase();
    auto aux = std::make_unique<TQuery>(ADOC);
    aux->SQL = "SELECT fsAddr,fmHoliday FROM tTerminals";
    aux->Open();
    AuxQry = std::move(aux);
  } catch (const std::exception& e) {
    // Start-up goes on without a database; every later database step reports its own error. The
    // operator is told which file failed: not every engine text names it.
    std::string text = e.what();
    if (text.find(DatabasePath()) == std::string::npos) text += " (" + DatabasePath() + ")";
    Ui.Error(text);
  }
}

TDM::~TDM() = default;

const std::string& TDM::ProgramFolder() const {
  return Program.ProgramFolder;
}

std::string TDM::DatabasePath() const {
  return Program.ProgramFolder + "Korvoweb.mdb";
}

void TDM::OpenDatabase() {
  std::string path = DatabasePath();
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    ADOC.Open(path);
    try {
      InstallMissingDirectionFlags(ADOC);
    } catch (const TDbError&) {
      // A database that cannot take them (read-only, an older layout) works as it did before.
    }
    return;
  }
  try {
    ADOC.Create(path);
    InstallSchema(ADOC);
  } catch (...) {
    ADOC.Close();
    std::remove(path.c_str());  // a half-built file would be taken for a database next time
    throw;
  }
  databaseCreated_ = true;
  WriteLog("New database created : " + path + ".", true);
}

bool TDM::LoadSettings() {
  return Program.LoadSettings();
}
bool TDM::SaveSettings() {
  return Program.SaveSettings();
}
void TDM::ReadUploadConfig() {
  korvo::ReadUploadConfig(Program.ProgramFolder, SysParam, Ui);
}
void TDM::WriteUploadConfig() {
  korvo::WriteUploadConfig(Program.ProgramFolder, SysParam, Ui);
}
void TDM::WriteLog(const std::string& message, bool stamped) {
  Program.Log.WriteLog(message, stamped);
}

}  // namespace korvo
