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

}  // namespace korvo
