#include "support/RecordingUi.h"

namespace korvo::test {

bool TRecordingUi::AskYesNo(const std::string& text) {
  calls.push_back({"yesno", text});
  if (yesNoAnswers.empty()) return false;
  bool a = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return a;
}

TAbortRetry TRecordingUi::AskAbortRetry(const std::string& text) {
  calls.push_back({"abortretry", text});
  if (abortRetryAnswers.empty()) return TAbortRetry::Abort;
  TAbortRetry a = abortRetryAnswers.front();
  abortRetryAnswers.pop_front();
  return a;
}

std::vector<std::string> TRecordingUi::Texts(const std::string& kind) const {
  std::vector<std::string> out;
  for (const auto& c : calls)
    if (c.kind == kind) out.push_back(c.text);
  return out;
}

}  // namespace korvo::test
