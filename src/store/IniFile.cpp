#include "store/IniFile.h"

#include <algorithm>
#include <cctype>

namespace korvo {
namespace {

std::string_view Trim(std::string_view s) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// The name of a section header line, or nothing when the line is not one.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// Splits "key = value"; false for lines that hold no key.
bool SplitKey(std::string_view line, std::string_view& key, std::string_view& value) {
  if (IsComment(line)) return false;
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return !key.empty();
}

}  // namespace

TIniFile TIniFile::Parse(std::string_view text) {
  TIniFile ini;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    TLine line;
    if (nl == std::string_view::npos) {
      line.text = std::string(text.substr(pos));
      pos = text.size();
    } else {
      std::size_t end = nl;
      line.eol = "\n";
      if (end > pos && text[end - 1] == '\r') {
        --end;
        line.eol = "\r\n";
      }
      line.text = std::string(text.substr(pos, end - pos));
      pos = nl + 1;
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

std::string TIniFile::Text() const {
  std::string out;
  for (const auto& l : lines_) out += l.text + l.eol;
  return out;
}

std::string TIniFile::DefaultEol() const {
  for (const auto& l : lines_)
    if (!l.eol.empty()) return l.eol;
  return "\r\n";
}

bool TIniFile::FindSection(std::string_view section, std::size_t& begin, std::size_t& end) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = HeaderName(lines_[i].text);
    if (!name || !SameName(*name, section)) continue;
    begin = i + 1;
    end = begin;
    while (end < lines_.size() && !HeaderName(lines_[end].text)) ++end;
    return true;
  }
  return false;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view key) const {
  std::size_t begin = 0, end = 0;
  if (!FindSection(section, begin, end)) return std::nullopt;
  for (std::size_t i = begin; i < end; ++i) {
    std::string_view k, v;
    if (!SplitKey(lines_[i].text, k, v) || !SameName(k, key)) continue;
    if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
      v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  return std::nullopt;
}

void TIniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string eol = DefaultEol();
  std::string newLine = std::string(key) + "=" + std::string(value);
  std::size_t begin = 0, end = 0;
  if (!FindSection(section, begin, end)) {
    if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = eol;
    lines_.push_back({"[" + std::string(section) + "]", eol});
    lines_.push_back({newLine, eol});
    return;
  }
  std::size_t lastContent = begin;  // insert position: after the section's last non-blank line
  for (std::size_t i = begin; i < end; ++i) {
    std::string_view k, v;
    if (SplitKey(lines_[i].text, k, v) && SameName(k, key)) {
      lines_[i].text = newLine;
      return;
    }
    if (!Trim(lines_[i].text).empty()) lastContent = i + 1;
  }
  if (lastContent > 0 && lines_[lastContent - 1].eol.empty()) lines_[lastContent - 1].eol = eol;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastContent),
                TLine{newLine, lastContent == lines_.size() ? eol : eol});
}

}  // namespace korvo
