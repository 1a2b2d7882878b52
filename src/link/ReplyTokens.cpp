#include "link/ReplyTokens.h"

#include <charconv>

#include "store/TextCodec.h"

namespace korvo {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::vector<std::string> SplitReplyTokens(std::string_view s) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  const std::size_t n = s.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(s[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string token;
    if (s[i] == '"') {
      ++i;
      while (i < n) {
        if (s[i] == '"') {
          if (i + 1 < n && s[i + 1] == '"') {
            token += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        token += s[i++];
      }
    } else {
      std::size_t start = i;
      while (i < n && !IsBlank(s[i]) && s[i] != ',') ++i;
      token.assign(s.substr(start, i - start));
    }
    tokens.push_back(std::move(token));
    skipBlanks();
    if (i < n && s[i] == ',') {
      // A comma at the very end still stands before one more, empty, token.
      if (i + 1 == n) tokens.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return tokens;
}

std::string ParameterValue(std::string_view reply) {
  const auto tokens = SplitReplyTokens(reply);
  // Line noise before the answer adds tokens in front of it; counting from the first "PAR n =" keeps
  // the value from shifting into "=" and the number. A reply without that shape is taken as it is.
  std::size_t first = 3;
  for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
    if (tokens[i].ends_with("PAR") && tokens[i + 2] == "=") {
      first = i + 3;
      break;
    }
  }
  std::string value;
  for (std::size_t i = first; i < tokens.size(); ++i) {
    if (i > first) value += ' ';
    value += TrimControl(tokens[i]);
  }
  return value;
}

int CardDigitsOf(const std::string& parameterValue) {
  const std::string t = TrimControl(parameterValue);
  const char* begin = t.data() + (t.starts_with('+') ? 1 : 0);
  int value = 0;
  const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), value);
  if (begin == t.data() + t.size() || ec != std::errc() || end != t.data() + t.size()) return 1;
  return value;
}

}  // namespace korvo
