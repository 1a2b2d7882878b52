#pragma once

#include <QPointer>

#include "store/OperatorUi.h"

class QWidget;

namespace korvo {

// Message boxes, beeps and event processing for the core, on the Qt application.
class TQtOperatorUi final : public TOperatorUi {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ProcessMessages() override;
  void ProgressNotice(const std::string& text) override;
  int ProgressMaximum() override;
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAbortRetry AskAbortRetry(const std::string& text) override;
  void Beep() override;
  void ShowModemWindow(const std::string& number, const std::string& rate,
                       std::function<void()> onDisconnect) override;
  void SetModemCountDown(const std::string& text) override;
  void CloseModemWindow() override;

  // Where progress notices go once the main window exists.
  using TProgressSink = void (*)(void* context, const std::string& text);
  void SetProgressSink(TProgressSink sink, void* context) {
    sink_ = sink;
    sinkContext_ = context;
  }
  // Where the meter's maximum is read once the main window exists.
  using TMaximumSource = int (*)(void* context);
  void SetProgressMaximumSource(TMaximumSource source, void* context) {
    maximumSource_ = source;
    maximumContext_ = context;
  }

 private:
  QWidget* parent_ = nullptr;
  TProgressSink sink_ = nullptr;
  void* sinkContext_ = nullptr;
  TMaximumSource maximumSource_ = nullptr;
  void* maximumContext_ = nullptr;
  QPointer<QWidget> modemWindow_;  // TfSplashModem while a call is dialled
};

}  // namespace korvo
