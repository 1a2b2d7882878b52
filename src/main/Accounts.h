#pragma once

#include <functional>
#include <string>

namespace korvo {

class TDM;

enum class TAccountResult {
  Nothing,  // no name, or no "Administrator" login to authorise the change
  Refused,  // a warning was shown; the table is unchanged
  PasswordChanged,
  LoginAdded,
  LoginDeleted
};

// The operations of the Administrator window. `refillList` runs after a change is stored and before
// the success box, so the list already shows the change while the box is up.
//
// Add / Edit: a name the lookup finds has its password changed when `oldPassword` is that login's
// password; a new name is added when `oldPassword` is the Administrator's password.
TAccountResult AddOrEditLogin(TDM& dm, const std::string& name, const std::string& oldPassword,
                              const std::string& newPassword, const std::function<void()>& refillList);
// Deletes every login named exactly `name`, authorised by the Administrator's password. Success is
// reported even when no login had that name. "Administrator" itself cannot be deleted.
TAccountResult DeleteLogin(TDM& dm, const std::string& name, const std::string& adminPassword,
                           const std::function<void()>& refillList);

}  // namespace korvo
