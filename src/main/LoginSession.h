#pragma once

#include <string>

namespace korvo {

class TDM;

enum class TLoginResult {
  Nothing,        // no name typed
  LoggedIn,       // logged, LastLogin saved
  WrongPassword,  // warned; the password is to be typed again
  UnknownName,    // warned; name and password are to be typed again
  ProgramEnds     // the third failure since activation: warned, and the program ends
};

// The checks of the login dialog. Wrong passwords and unknown names count together.
class TLoginSession {
 public:
  static constexpr int kMaxFailures = 3;

  explicit TLoginSession(TDM& dm) : dm_(dm) {}
  // The dialog became active: the count starts again and the logins are opened. Returns the name
  // that pre-fills the dialog, the last one that logged in.
  std::string Activate();
  TLoginResult Login(const std::string& name, const std::string& password);
  int Failures() const { return failures_; }

 private:
  TLoginResult Failed(TLoginResult result);

  TDM& dm_;
  int failures_ = 0;
};

}  // namespace korvo
