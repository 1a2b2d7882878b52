#pragma once

#include <string>

namespace korvo {

// Operator passwords are kept as salted hashes, never in a form that can be turned back.
std::string HashPassword(const std::string& password);
bool VerifyPassword(const std::string& stored, const std::string& password);

// From now on hashes are made at the hashing library's lowest cost. Test programs build hundreds of
// databases, each with its installed login; the programs themselves never call this.
void UseCheapPasswordHashing();

}  // namespace korvo
