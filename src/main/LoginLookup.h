#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvo {

class TDM;

inline constexpr const char* kLoginsSql = "SELECT * FROM tLogins ORDER BY fsLoginName";

// A tLogins row as stored: the scrambled name and the password hash.
struct TLoginRow {
  std::string storedName;
  std::string storedPassword;
};

// The login a typed name stands for: the first row, in the order of kLoginsSql, whose scrambled
// name begins with the scrambled typed name. A complete name always finds its own row, since the
// longer names that begin with it come after it. Leaves the logins query (AdmQry) open.
std::optional<TLoginRow> FindLogin(TDM& dm, const std::string& typedName);

// Every plain login name, in the order of kLoginsSql.
std::vector<std::string> LoginNames(TDM& dm);

// The scrambled form of a login name, as tLogins keeps it.
std::string ScrambleLoginName(const std::string& name);

}  // namespace korvo
