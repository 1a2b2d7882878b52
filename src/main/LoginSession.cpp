#include "main/LoginSession.h"

#include "main/LoginLookup.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/Password.h"
#include "store/SettingsRecord.h"

namespace korvo {

std::string TLoginSession::Activate() {
  failures_ = 0;
  dm_.AdmQry.SetSQL(kLoginsSql);
  dm_.AdmQry.Open();
  return dm_.Settings.LastLogin();
}

TLoginResult TLoginSession::Login(const std::string& name, const std::string& password) {
  if (name.empty()) return TLoginResult::Nothing;
  auto row = FindLogin(dm_, name);
  if (!row) {
    dm_.Ui.Warning("Unknown Username");
    return Failed(TLoginResult::UnknownName);
  }
  if (!VerifyPassword(row->storedPassword, password)) {
    dm_.Ui.Warning("Wrong Password");
    return Failed(TLoginResult::WrongPassword);
  }
  dm_.WriteLog("Login : " + name + ".", true);
  dm_.Settings.SetLastLogin(name);
  dm_.SaveSettings();
  return TLoginResult::LoggedIn;
}

TLoginResult TLoginSession::Failed(TLoginResult result) {
  return ++failures_ >= kMaxFailures ? TLoginResult::ProgramEnds : result;
}

}  // namespace korvo
