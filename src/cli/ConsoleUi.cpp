#include "cli/ConsoleUi.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace korvo {
namespace {

// A whole decimal number, perhaps negative, at `*p`; `*p` moves past it.
bool ReadNumber(const char** p, int* value) {
  char* end = nullptr;
  long v = std::strtol(*p, &end, 10);
  if (end == *p) return false;
  *value = static_cast<int>(v);
  *p = end;
  return true;
}

}  // namespace

// "n" sets the position; "min-max", optionally followed by "-caption", sets the range. The range of
// an empty list is "0--1".
void TConsoleUi::ProgressNotice(const std::string& text) {
  if (!showProgress_) return;
  const char* p = text.c_str();
  int first = 0;
  if (!ReadNumber(&p, &first)) return;
  if (*p == '\0') {
    position_ = first;
  } else if (*p == '-') {
    ++p;
    int last = 0;
    if (!ReadNumber(&p, &last)) return;
    min_ = first;
    max_ = last;
    position_ = first;
    caption_ = *p == '-' ? std::string(p + 1) : std::string();
  } else {
    return;
  }
  DrawProgress();
}

void TConsoleUi::DrawProgress() {
  const int span = max_ - min_;
  const int percent = span > 0 ? std::clamp((position_ - min_) * 100 / span, 0, 100) : 100;
  char head[16];
  std::snprintf(head, sizeof head, "[%3d%%] ", percent);
  std::string line = head;
  if (!caption_.empty()) line += caption_ + ' ';
  line += std::to_string(position_) + '/' + std::to_string(max_);
  if (line == drawn_) return;
  // Blanks wipe what a longer line left behind.
  const std::size_t wipe = drawn_.size() > line.size() ? drawn_.size() - line.size() : 0;
  err_ << '\r' << line << std::string(wipe, ' ') << std::flush;
  drawn_ = line;
}

void TConsoleUi::EndProgressLine() {
  if (drawn_.empty()) return;
  err_ << '\n' << std::flush;
  drawn_.clear();
}

void TConsoleUi::Warning(const std::string& text) {
  EndProgressLine();
  err_ << "warning: " << text << '\n';
}
void TConsoleUi::Information(const std::string& text) {
  EndProgressLine();
  out_ << text << '\n';
}
void TConsoleUi::Error(const std::string& text) {
  EndProgressLine();
  ++errors_;
  err_ << "error: " << text << '\n';
}
bool TConsoleUi::AskYesNo(const std::string& text) {
  EndProgressLine();
  err_ << "question: " << text << " -> No\n";
  return false;
}
TAbortRetry TConsoleUi::AskAbortRetry(const std::string& text) {
  EndProgressLine();
  err_ << "question: " << text << " -> Abort\n";
  return TAbortRetry::Abort;
}

}  // namespace korvo
