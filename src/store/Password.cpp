#include "store/Password.h"

#include <sodium.h>

#include <stdexcept>

namespace korvo {
namespace {
void InitSodium() {
  static const bool ok = sodium_init() >= 0;
  if (!ok) throw std::runtime_error("libsodium could not be initialised");
}
bool cheap = false;
}  // namespace

void UseCheapPasswordHashing() {
  cheap = true;
}

std::string HashPassword(const std::string& password) {
  InitSodium();
  char out[crypto_pwhash_STRBYTES];
  const auto ops = cheap ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
  const auto mem = cheap ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
  if (crypto_pwhash_str(out, password.data(), password.size(), ops, mem) != 0)
    throw std::runtime_error("out of memory while hashing a password");
  return out;
}

bool VerifyPassword(const std::string& stored, const std::string& password) {
  InitSodium();
  if (stored.size() >= crypto_pwhash_STRBYTES) return false;
  return crypto_pwhash_str_verify(stored.c_str(), password.data(), password.size()) == 0;
}

}  // namespace korvo
