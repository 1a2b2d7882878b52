#include "main/LoginLookup.h"

#include "store/DataMod.h"
#include "store/Schema.h"

namespace korvo {
namespace {
void OpenLogins(TDM& dm) {
  dm.AdmQry.SetSQL(kLoginsSql);
  dm.AdmQry.Open();
}
}  // namespace

std::string ScrambleLoginName(const std::string& name) {
  return TDM::XorText(name, kLoginKey);
}

std::optional<TLoginRow> FindLogin(TDM& dm, const std::string& typedName) {
  const std::string wanted = ScrambleLoginName(typedName);
  OpenLogins(dm);
  for (dm.AdmQry.First(); !dm.AdmQry.Eof(); dm.AdmQry.Next()) {
    std::string stored = dm.AdmQry.FieldByName("fsLoginName").AsString();
    if (stored.starts_with(wanted)) return TLoginRow{stored, dm.AdmQry.FieldByName("fsPassword").AsString()};
  }
  return std::nullopt;
}

std::vector<std::string> LoginNames(TDM& dm) {
  std::vector<std::string> names;
  OpenLogins(dm);
  for (dm.AdmQry.First(); !dm.AdmQry.Eof(); dm.AdmQry.Next())
    names.push_back(ScrambleLoginName(dm.AdmQry.FieldByName("fsLoginName").AsString()));
  return names;
}

}  // namespace korvo
