#include "ReplyOverrideSpec.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace korvosim {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool startsWith(std::string_view s, std::string_view head) {
  return s.substr(0, head.size()) == head;
}

// Digits only, no sign, no blanks.
template <typename Int>
bool parseCount(std::string_view s, Int& out) {
  if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front()))) return false;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && p == s.data() + s.size();
}

std::invalid_argument bad(std::string_view spec, const std::string& why) {
  return std::invalid_argument("--reply \"" + std::string(spec) + "\": " + why);
}

}  // namespace

std::string unescapeReplyText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) throw std::invalid_argument("a reply text cannot end with a lone \\");
    switch (text[i]) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      case 'x': {
        unsigned value = 0;
        const std::string_view hex = text.substr(i + 1, 2);
        const auto [p, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
        if (hex.size() != 2 || ec != std::errc() || p != hex.data() + 2)
          throw std::invalid_argument("\\x wants two hex digits");
        out += static_cast<char>(value);
        i += 2;
        break;
      }
      default:
        throw std::invalid_argument(std::string("unknown escape \\") + text[i] +
                                    " (use \\r \\n \\t \\\\ or \\xHH)");
    }
  }
  return out;
}

ReplyOverride parseReplyOverride(std::string_view spec) {
  ReplyOverride o;
  std::string_view rest = spec;
  if (startsWith(rest, "[")) {
    const auto close = rest.find(']');
    if (close == std::string_view::npos || !parseCount(rest.substr(1, close - 1), o.times) || o.times < 1)
      throw bad(spec, "the count in front wants the form [K] with K a whole number from 1");
    rest.remove_prefix(close + 1);
  }
  const auto eq = rest.find('=');
  if (eq == std::string_view::npos) throw bad(spec, "wants COMMAND=REPLY");
  o.match = std::string(rest.substr(0, eq));
  if (o.match.find_first_not_of(" \t") == std::string::npos) throw bad(spec, "no command before \"=\"");
  const std::string_view reply = rest.substr(eq + 1);
  const std::string word = lower(reply);
  try {
    if (word == "fail") {
      o.kind = ReplyOverride::Kind::Fail;
    } else if (word == "silent") {
      o.kind = ReplyOverride::Kind::Silent;
    } else if (word == "restart") {
      o.kind = ReplyOverride::Kind::Restart;
    } else if (startsWith(word, "partial:")) {
      o.kind = ReplyOverride::Kind::Partial;
      if (!parseCount(reply.substr(8), o.bytes))
        throw std::invalid_argument("partial: wants a number of bytes, not \"" +
                                    std::string(reply.substr(8)) + "\"");
    } else {
      o.kind = ReplyOverride::Kind::Text;
      o.text = unescapeReplyText(startsWith(word, "text:") ? reply.substr(5) : reply);
    }
  } catch (const std::invalid_argument& e) {
    throw bad(spec, e.what());
  }
  return o;
}

}  // namespace korvosim
