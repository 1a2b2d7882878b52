#pragma once

#include <functional>
#include <string>

namespace korvo {

enum class TAbortRetry { Abort, Retry };

// What the core asks of whoever sits in front of it: the Qt windows, a console, or a test script.
// Every message box, every "process pending window messages" and every progress notice of the
// core goes through here, so no core code needs a window.
class TOperatorUi {
 public:
  virtual ~TOperatorUi() = default;
  virtual void ProcessMessages() {}
  virtual void ProgressNotice(const std::string& text) { (void)text; }
  // The maximum of the main window's progress meter: a transport that has read a whole listing moves
  // the meter there. A fresh meter's maximum where nobody keeps one.
  virtual int ProgressMaximum() { return 100; }
  virtual void Warning(const std::string& text) = 0;
  virtual void Information(const std::string& text) = 0;
  virtual void Error(const std::string& text) = 0;
  // The error box captioned by the window whose job it ended; where no window is, the plain error.
  virtual void CaptionedError(const std::string& caption, const std::string& text) {
    (void)caption;
    Error(text);
  }
  virtual bool AskYesNo(const std::string& text) = 0;
  virtual TAbortRetry AskAbortRetry(const std::string& text) = 0;
  virtual void Beep() {}
  // A conversation with a terminal begins and ends; `who` names it as the tree does ("Gate A [1]").
  // The windows show a wait cursor and a status text meanwhile.
  virtual void TalkStarted(const std::string& who) { (void)who; }
  virtual void TalkEnded() {}

  // The modem window while a call is dialled: shown with the phone number and the bit rate, its
  // countdown ("BUSY" for a busy line) updated once a second, closed when dialling ends. The window's
  // Disconnect button calls `onDisconnect`. Nothing is shown where nobody watches.
  virtual void ShowModemWindow(const std::string& number, const std::string& rate,
                               std::function<void()> onDisconnect) {
    (void)number, (void)rate, (void)onDisconnect;
  }
  virtual void SetModemCountDown(const std::string& text) { (void)text; }
  virtual void CloseModemWindow() {}
};

// Nobody in front: messages go nowhere, every question gets No or Abort. For runs nobody watches, such as
// benchmarks and fuzzing, where a question must not wait and the answer must leave things as they were.
class TUnattendedUi final : public TOperatorUi {
 public:
  void Warning(const std::string&) override {}
  void Information(const std::string&) override {}
  void Error(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  TAbortRetry AskAbortRetry(const std::string&) override { return TAbortRetry::Abort; }
};

}  // namespace korvo
