#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvo {

// Each character replaced by the character whose Windows-1252 code is its own code XOR key.
// Applying it twice with the same key gives the text back.
std::string XorText(std::string_view text, unsigned char key);

// Bytes as upper-case hexadecimal digit pairs.
std::string HexEncode(std::string_view bytes);
// Digit pairs back to bytes, in either letter case; a single trailing digit is read alone. Raises
// "Invalid hex character " + the character on anything that is not a hexadecimal digit.
std::string HexDecode(std::string_view text);

class THexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Blanks and control characters removed from both ends.
std::string TrimControl(std::string_view s);

}  // namespace korvo
