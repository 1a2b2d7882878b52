#pragma once

#include <string>

namespace korvo {

// Operator passwords are kept as salted hashes, never in a form that can be turned back.
std::string HashPassword(const std::string& password);
bool VerifyPassword(const std::string& stored, const std::string& password);

}  // namespace korvo
