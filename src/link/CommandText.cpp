#include "link/CommandText.h"

#include <algorithm>
#include <cctype>

namespace korvo {

std::vector<std::string> SplitCommandLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitPieces(std::string_view line) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (true) {
    auto bar = line.find('|', start);
    if (bar == std::string_view::npos) {
      pieces.emplace_back(line.substr(start));
      return pieces;
    }
    pieces.emplace_back(line.substr(start, bar - start));
    start = bar + 1;
  }
}

TAddressParts SplitAddress(std::string_view fsAddr) {
  TAddressParts parts;
  auto at = fsAddr.find('@');
  if (at == std::string_view::npos) {
    parts.address = std::string(fsAddr);
    return parts;
  }
  parts.address = std::string(fsAddr.substr(0, at));
  std::string_view rest = fsAddr.substr(at + 1);
  // Only the second part is the logon code; a further "@" part is not used.
  auto next = rest.find('@');
  parts.logon = std::string(rest.substr(0, next));
  parts.hasLogon = true;
  return parts;
}

std::string UpperCase(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
  return out;
}

int CountChar(std::string_view text, char c) {
  return static_cast<int>(std::count(text.begin(), text.end(), c));
}

std::string JoinTrimmedEntries(const std::vector<std::string>& entries) {
  std::string out;
  for (const auto& e : entries) out += TrimControl(e) + "\r";
  return out;
}

std::string JoinNetEntries(const std::vector<std::string>& entries, bool concatenate) {
  std::string out;
  for (const auto& e : entries) {
    out += e;
    if (!concatenate) out += '\r';
  }
  return out;
}

std::string ApplyCrLfRule(std::string reply, std::string_view commandText) {
  if (Contains(commandText, "TMPDATA") || Contains(commandText, "MSGTABLE") ||
      Contains(commandText, "TIMEDMSG"))
    return reply;
  std::string out;
  out.reserve(reply.size());
  for (std::size_t i = 0; i < reply.size(); ++i) {
    if (reply[i] == '\r' && i + 1 < reply.size() && reply[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else {
      out += reply[i];
    }
  }
  return out;
}

bool PassesUnconverted(std::string_view commandText) {
  return Contains(commandText, "TMPDATA") || Contains(commandText, "TMPSAVE");
}

}  // namespace korvo
