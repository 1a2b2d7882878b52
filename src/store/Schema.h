#pragma once

#include <string>
#include <vector>

namespace korvo {

class TDatabase;

// The statements that build a new database with its installed contents.
const std::string& SchemaSql();
// The tables of the database, in the order the schema creates them.
const std::vector<std::string>& TableNames();

// The operator login that comes with a new database, and its initial password.
inline constexpr const char* kAdministratorLogin = "Administrator";
inline constexpr const char* kAdministratorInitialPassword = "admin";
// Key byte of the name scrambling of operator logins.
inline constexpr unsigned char kLoginKey = 0xA6;

// Creates the schema and the installed rows in an empty database, in one transaction.
void InstallSchema(TDatabase& db);

// The tDirMap rows of the digit direction flags; a new database has them from the schema.
const std::vector<std::vector<std::string>>& DirectionFlagRows();
// Adds the rows of DirectionFlagRows whose keys the database lacks, leaving every other row as
// it is: an older database then shows the rows the online monitor stores in the activity browser.
void InstallMissingDirectionFlags(TDatabase& db);

}  // namespace korvo
