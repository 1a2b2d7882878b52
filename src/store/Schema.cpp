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

const std::vector<std::vector<std::string>>& DirectionFlagRows() {
  static const std::vector<std::vector<std::string>> kRows = {{"0", "0", "In"}, {"1", "1", "Out"}};
  return kRows;
}

void InstallMissingDirectionFlags(TDatabase& db) {
  TTransaction tx(db);
  for (const auto& row : DirectionFlagRows())
    db.Execute("INSERT OR IGNORE INTO tDirMap (fcDirFlag, fsDirCode, fsDirDisplay) VALUES (?, ?, ?)",
               {row[0], row[1], row[2]});
  tx.Commit();
}

}  // namespace korvo
