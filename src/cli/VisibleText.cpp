#include "cli/VisibleText.h"

#include <cstdio>

namespace korvo {

std::string VisibleText(std::string_view reply) {
  std::string out;
  for (std::size_t i = 0; i < reply.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(reply[i]);
    if (c == '\r') {
      out += "<CR>";
      if (i + 1 >= reply.size() || reply[i + 1] != '\n') out += '\n';
    } else if (c == '\n') {
      out += "<LF>\n";
    } else if (c < ' ' || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "<%02X>", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  if (out.empty() || out.back() != '\n') out += '\n';
  return out;
}

std::string OneLineText(std::string_view value) {
  std::string out;
  auto hex = [&out](unsigned code) {
    char text[8];
    std::snprintf(text, sizeof text, "<%02X>", code);
    out += text;
  };
  for (std::size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    const auto next = i + 1 < value.size() ? static_cast<unsigned char>(value[i + 1]) : 0u;
    if (c < ' ' || c == 0x7f) {
      hex(c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      hex(next);
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string CommandTextFromArgs(const std::string* first, const std::string* last) {
  std::string joined;
  for (const std::string* a = first; a != last; ++a) {
    if (a != first) joined += ' ';
    joined += *a;
  }
  std::string text;
  for (std::size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == '\\' && i + 1 < joined.size() && joined[i + 1] == 'r') {
      text += '\r';
      ++i;
    } else {
      text += joined[i];
    }
  }
  return text;
}

}  // namespace korvo
