#include "cli/ConsoleUi.h"

#include <ostream>

namespace korvo {

void TConsoleUi::ProgressNotice(const std::string& text) {
  if (showProgress_) err_ << "progress: " << text << '\n';
}
void TConsoleUi::Warning(const std::string& text) {
  err_ << "warning: " << text << '\n';
}
void TConsoleUi::Information(const std::string& text) {
  out_ << text << '\n';
}
void TConsoleUi::Error(const std::string& text) {
  ++errors_;
  err_ << "error: " << text << '\n';
}
bool TConsoleUi::AskYesNo(const std::string& text) {
  err_ << "question: " << text << " -> No\n";
  return false;
}
TAbortRetry TConsoleUi::AskAbortRetry(const std::string& text) {
  err_ << "question: " << text << " -> Abort\n";
  return TAbortRetry::Abort;
}

}  // namespace korvo
