#include "main/Accounts.h"

#include "main/LoginLookup.h"
#include "store/DataMod.h"
#include "store/OperatorUi.h"
#include "store/Password.h"
#include "store/Schema.h"

namespace korvo {
namespace {
void Refill(const std::function<void()>& refillList) {
  if (refillList) refillList();
}
}  // namespace

TAccountResult AddOrEditLogin(TDM& dm, const std::string& name, const std::string& oldPassword,
                              const std::string& newPassword, const std::function<void()>& refillList) {
  if (name.empty()) return TAccountResult::Nothing;
  TQuery q(dm.ADOC);
  if (auto row = FindLogin(dm, name)) {
    if (!VerifyPassword(row->storedPassword, oldPassword)) {
      dm.Ui.Warning("Wrong Old Password");
      return TAccountResult::Refused;
    }
    dm.UpdateRecord(q, "tLogins", TCondition("fsLoginName = ?", {TextValue(row->storedName)}),
                    {TextValue(HashPassword(newPassword))}, {"fsPassword"});
    Refill(refillList);
    dm.WriteLog("Edit user password : " + name + ".", true);
    dm.Ui.Information("Change Password Successfully");
    return TAccountResult::PasswordChanged;
  }
  auto admin = FindLogin(dm, kAdministratorLogin);
  if (!admin) return TAccountResult::Nothing;
  if (!VerifyPassword(admin->storedPassword, oldPassword)) {
    dm.Ui.Warning("Wrong Administrator Password");
    return TAccountResult::Refused;
  }
  dm.InsertRecord(q, "tLogins", {TextValue(ScrambleLoginName(name)), TextValue(HashPassword(newPassword))},
                  {"fsLoginName", "fsPassword"});
  Refill(refillList);
  dm.WriteLog("Add new user : " + name + ".", true);
  dm.Ui.Information("Add Username Successfully");
  return TAccountResult::LoginAdded;
}

TAccountResult DeleteLogin(TDM& dm, const std::string& name, const std::string& adminPassword,
                           const std::function<void()>& refillList) {
  if (name == kAdministratorLogin) {
    dm.Ui.Warning("You Can't Delete Administrator");
    return TAccountResult::Refused;
  }
  auto admin = FindLogin(dm, kAdministratorLogin);
  if (!admin) return TAccountResult::Nothing;
  if (!VerifyPassword(admin->storedPassword, adminPassword)) {
    dm.Ui.Warning("Wrong Administrator Password");
    return TAccountResult::Refused;
  }
  TQuery q(dm.ADOC);
  dm.DeleteRecords(q, "tLogins", TCondition("fsLoginName = ?", {TextValue(ScrambleLoginName(name))}));
  Refill(refillList);
  dm.WriteLog("Delete username : " + name + ".", true);
  dm.Ui.Information("Delete Username Successfully");
  return TAccountResult::LoginDeleted;
}

}  // namespace korvo
