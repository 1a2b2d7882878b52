#pragma once

#include <QPointer>

#include "store/OperatorUi.h"

class QWidget;

namespace korvo {

class TOperatorFrame;

// Message boxes, beeps, event processing, the wait cursor and the modem window for the core, on
// the Qt application.
class TQtOperatorUi final : public TOperatorUi {
 public:
  ~TQtOperatorUi() override;
  // The main window, once it exists: its meter takes the progress notices and its status bar the
  // conversation text. Null: nothing is shown there.
  void SetFrame(TOperatorFrame* frame) { frame_ = frame; }

  void ProcessMessages() override;
  void ProgressNotice(const std::string& text) override;
  int ProgressMaximum() override;
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  void CaptionedError(const std::string& caption, const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAbortRetry AskAbortRetry(const std::string& text) override;
  void Beep() override;
  void TalkStarted(const std::string& who) override;
  void TalkEnded() override;
  void ShowModemWindow(const std::string& number, const std::string& rate,
                       std::function<void()> onDisconnect) override;
  void SetModemCountDown(const std::string& text) override;
  void CloseModemWindow() override;

  // Where a message box stands: over the dialog in front (the login dialog before the main window
  // is shown), else over the active window, else over the main window when it is visible, else in
  // the middle of the screen.
  QWidget* BoxParent() const;

 private:
  TOperatorFrame* frame_ = nullptr;
  int talks_ = 0;                  // conversations under way, each with its wait cursor
  QPointer<QWidget> modemWindow_;  // TfSplashModem while a call is dialled
};

}  // namespace korvo
