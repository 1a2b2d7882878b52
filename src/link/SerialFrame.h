#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvo {

// A text that should be a decimal integer and is not.
class TConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bus address of a serial terminal: the whole address read as a decimal integer.
int BusAddressOf(std::string_view address);

// XOR of the first (length mod 256) characters of `text`.
unsigned FrameChecksum(std::string_view text);
// ":" + "%.3x" frame length + "%.2x" bus address + " " + piece + "%.2x" checksum; no line end.
std::string BuildFrame(std::string_view piece, int busAddress);

// Replies are taken as text: characters 2 to 4 carry the length in hex, character 7 the status,
// the data run from character 8 to the fifth-last; the checksum is not verified.
// Complete: the current length as "%.3x" compares as text at least equal to characters 2 to 4.
bool FramedReplyComplete(std::string_view reply);
std::string FramedReplyData(std::string_view reply);
// "Z" in character 7: a further block follows the answer to "5A".
bool FramedReplyContinues(std::string_view reply);

}  // namespace korvo
