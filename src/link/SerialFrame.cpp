#include "link/SerialFrame.h"

#include <climits>
#include <cstdio>

namespace korvo {

int BusAddressOf(std::string_view address) {
  std::string_view digits = address;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  long long value = 0;
  // Ten digits hold every int; more would overflow the sum below before the range test.
  bool ok = !digits.empty() && digits.size() <= 10;
  for (char c : ok ? digits : std::string_view()) {
    if (c < '0' || c > '9') {
      ok = false;
      break;
    }
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  if (!ok || value < INT_MIN || value > INT_MAX)
    throw TConvertError("'" + std::string(address) + "' is not a valid integer value");
  return static_cast<int>(value);
}

unsigned FrameChecksum(std::string_view text) {
  unsigned x = 0;
  std::size_t count = text.size() % 256;
  for (std::size_t i = 0; i < count; ++i) x ^= static_cast<unsigned char>(text[i]);
  return x;
}

std::string BuildFrame(std::string_view piece, int busAddress) {
  char head[32];
  std::snprintf(head, sizeof head, ":%.3x%.2x ", static_cast<unsigned>(piece.size() + 9),
                static_cast<unsigned>(busAddress));
  std::string frame = head;
  frame.append(piece);
  char sum[8];
  std::snprintf(sum, sizeof sum, "%.2x", FrameChecksum(frame));
  return frame + sum;
}

bool FramedReplyComplete(std::string_view reply) {
  char length[16];
  std::snprintf(length, sizeof length, "%.3x", static_cast<unsigned>(reply.size()));
  std::string_view field = reply.size() > 1 ? reply.substr(1, 3) : std::string_view();
  return std::string_view(length) >= field;
}

std::string FramedReplyData(std::string_view reply) {
  if (reply.size() <= 11) return {};
  return std::string(reply.substr(7, reply.size() - 11));
}

bool FramedReplyContinues(std::string_view reply) {
  return reply.size() >= 7 && reply[6] == 'Z';
}

}  // namespace korvo
