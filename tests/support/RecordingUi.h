#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "store/OperatorUi.h"

namespace korvo::test {

// Records every call of the core to its operator, and answers questions from a script.
class TRecordingUi : public TOperatorUi {
 public:
  struct TCall {
    std::string kind;  // "warning", "information", "error", "yesno", "abortretry", "progress", "beep"
    std::string text;
  };

  void ProcessMessages() override {
    ++processed;
    if (OnProcessMessages) OnProcessMessages();
  }
  void ProgressNotice(const std::string& text) override {
    calls.push_back({"progress", text});
    if (OnProgressNotice) OnProgressNotice(text);
  }
  void Warning(const std::string& text) override { calls.push_back({"warning", text}); }
  void Information(const std::string& text) override { calls.push_back({"information", text}); }
  void Error(const std::string& text) override { calls.push_back({"error", text}); }
  void CaptionedError(const std::string& caption, const std::string& text) override {
    calls.push_back({"error", text});
    errorCaptions.push_back(caption);
  }
  bool AskYesNo(const std::string& text) override;
  TAbortRetry AskAbortRetry(const std::string& text) override;
  void Beep() override { calls.push_back({"beep", ""}); }
  // Kept apart from `calls`: every conversation would add two entries to lists tests compare whole.
  void TalkStarted(const std::string& who) override { talks.push_back("started " + who); }
  void TalkEnded() override { talks.emplace_back("ended"); }

  std::vector<std::string> Texts(const std::string& kind) const;
  std::vector<std::string> Progress() const { return Texts("progress"); }

  std::vector<TCall> calls;
  std::deque<bool> yesNoAnswers;              // default when empty: false
  std::deque<TAbortRetry> abortRetryAnswers;  // default when empty: Abort
  int processed = 0;
  // The captions of the error boxes that name their window, in order.
  std::vector<std::string> errorCaptions;
  // What a window test lets happen while a job processes messages (a click, the event loop).
  std::function<void()> OnProcessMessages;
  // What a window test lets happen at a progress notice, where the main window lets messages through.
  std::function<void(const std::string&)> OnProgressNotice;
  std::vector<std::string> talks;  // "started " + who, "ended"
};

}  // namespace korvo::test
