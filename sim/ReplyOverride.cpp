#include "ReplyOverride.h"

#include <cctype>
#include <stdexcept>

namespace korvosim {

namespace {

bool blank(char c) {
  return c == ' ' || c == '\t';
}

bool wordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

// Upper case, no blanks around, each run of blanks inside as one blank.
std::string canonical(std::string_view s) {
  std::string out;
  bool gap = false;
  for (char c : s) {
    if (blank(c) || c == '\r' || c == '\n') {
      gap = !out.empty();
      continue;
    }
    if (gap) out += ' ';
    gap = false;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

}  // namespace

bool overrideMatches(std::string_view match, std::string_view line) {
  const std::string m = canonical(match);
  const std::string l = canonical(line);
  if (m.empty() || l.compare(0, m.size(), m) != 0) return false;
  return l.size() == m.size() || !wordChar(m.back()) || !wordChar(l[m.size()]);
}

Reply fixedReply(std::string text) {
  if (text.empty() || (text.back() != '\r' && text.back() != '\n')) text += "\r\n";
  Reply r;
  std::string_view body = text;
  while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.remove_suffix(1);
  for (const char* token : {kOk, kFail, kRecord, kEnd}) {
    if (!endsWith(body, token)) continue;
    const std::size_t before = body.size() - std::string_view(token).size();
    // A "*" closes "?*" error lines too; the words end at a blank or a line end.
    if (token != kEnd && before > 0 && !blank(body[before - 1]) && body[before - 1] != '\n') continue;
    r.token = token;
    const std::size_t lastLine = body.find_last_of("\r\n");
    r.listing = r.token == kEnd && lastLine != std::string_view::npos && body.substr(lastLine + 1) == kEnd;
    break;
  }
  r.text = std::move(text);
  return r;
}

Reply partialReply(Reply normal, std::size_t bytes) {
  if (bytes >= normal.text.size()) return normal;
  normal.text.resize(bytes);
  normal.token.clear();
  return normal;
}

void ReplyOverrides::add(ReplyOverride o) {
  if (canonical(o.match).empty()) throw std::invalid_argument("a reply override needs a command to match");
  if (o.times < 0) throw std::invalid_argument("a reply override's count cannot be negative");
  list_.push_back(std::move(o));
}

std::optional<ReplyOverride> ReplyOverrides::take(std::string_view line) {
  for (auto it = list_.begin(); it != list_.end(); ++it) {
    if (!overrideMatches(it->match, line)) continue;
    ReplyOverride taken = *it;
    if (it->times > 0 && --it->times == 0) list_.erase(it);
    return taken;
  }
  return std::nullopt;
}

}  // namespace korvosim
