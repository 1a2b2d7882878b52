#include "store/Schema.h"

#include "store/Database.h"
#include "store/Password.h"
#include "store/TextCodec.h"

namespace korvo {

const std::vector<std::string>& TableNames() {
  static const std::vector<std::string> kTables = {"tTerminals", "tEmployees", "tActivities", "tDirMap",
                                                   "tEventMap",  "tLogins",    "tHoliday",    "tTimeTable",
                                                   "tAccess",    "tAlarm",     "tExpired"};
  return kTables;
}

void InstallSchema(TDatabase& db) {
  TTransaction tx(db);
  db.ExecScript(SchemaSql());
  db.Execute("INSERT INTO tLogins (fsLoginName, fsPassword) VALUES (?, ?)",
             {XorText(kAdministratorLogin, kLoginKey), HashPassword(kAdministratorInitialPassword)});
  tx.Commit();
}

}  // namespace korvo
