#include "ReplyShaping.h"

namespace korvosim {

std::string fillerText(std::size_t bytes) {
  std::string out;
  out.reserve(bytes);
  while (out.size() < bytes) {
    if (out.size() % 66 == 64)
      out += "\r\n";
    else
      out += static_cast<char>('0' + out.size() % 10);
  }
  out.resize(bytes);
  return out;
}

std::string noiseBytes() {
  return std::string("\x01\x7f#~\xfe\x13", 6);
}

std::string shapeReply(const Reply& reply, const Faults& faults) {
  if (faults.silent || reply.silent()) return {};
  std::string text = faults.hugeReplyBytes ? fillerText(faults.hugeReplyBytes) : reply.text;
  if (faults.noCompletion && !faults.hugeReplyBytes) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    if (!reply.token.empty() && text.size() >= reply.token.size() &&
        text.compare(text.size() - reply.token.size(), reply.token.size(), reply.token) == 0) {
      text.resize(text.size() - reply.token.size());
      while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    }
  }
  if (faults.garbage) text = noiseBytes() + text;
  return text;
}

}  // namespace korvosim
