#include "store/TextCodec.h"

#include "store/Cp1252.h"

namespace korvo {

std::string XorText(std::string_view text, unsigned char key) {
  std::string bytes = Utf8ToCp1252(text);
  for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
  return Cp1252ToUtf8(bytes);
}

std::string HexEncode(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw THexError(std::string("Invalid hex character ") + c);
}
}  // namespace

std::string HexDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 2 + 1);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int v = HexDigit(text[i]);
    if (i + 1 < text.size()) v = v * 16 + HexDigit(text[i + 1]);
    out += static_cast<char>(v);
  }
  return out;
}

std::string TrimControl(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace korvo
