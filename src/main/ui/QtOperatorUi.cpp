#include "main/ui/QtOperatorUi.h"

#include <QApplication>
#include <QMessageBox>

#include "link/ui/SplashModem.h"

namespace korvo {

void TQtOperatorUi::ProcessMessages() {
  QApplication::processEvents();
}

void TQtOperatorUi::ProgressNotice(const std::string& text) {
  if (sink_) sink_(sinkContext_, text);
}

int TQtOperatorUi::ProgressMaximum() {
  return maximumSource_ ? maximumSource_(maximumContext_) : TOperatorUi::ProgressMaximum();
}

void TQtOperatorUi::Warning(const std::string& text) {
  QMessageBox::warning(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

void TQtOperatorUi::Information(const std::string& text) {
  QMessageBox::information(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

void TQtOperatorUi::Error(const std::string& text) {
  QMessageBox::critical(parent_, QApplication::applicationName(), QString::fromStdString(text));
}

bool TQtOperatorUi::AskYesNo(const std::string& text) {
  return QMessageBox::question(parent_, QApplication::applicationName(), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TAbortRetry TQtOperatorUi::AskAbortRetry(const std::string& text) {
  auto answer = QMessageBox::warning(parent_, QApplication::applicationName(), QString::fromStdString(text),
                                     QMessageBox::Abort | QMessageBox::Retry);
  return answer == QMessageBox::Retry ? TAbortRetry::Retry : TAbortRetry::Abort;
}

void TQtOperatorUi::Beep() {
  QApplication::beep();
}

void TQtOperatorUi::ShowModemWindow(const std::string& number, const std::string& rate,
                                    std::function<void()> onDisconnect) {
  CloseModemWindow();
  auto* window = new TfSplashModem(QString::fromStdString(number), QString::fromStdString(rate),
                                   std::move(onDisconnect));
  modemWindow_ = window;
  window->show();
}

void TQtOperatorUi::SetModemCountDown(const std::string& text) {
  if (auto* window = qobject_cast<TfSplashModem*>(modemWindow_.data()))
    window->SetCountDown(QString::fromStdString(text));
}

void TQtOperatorUi::CloseModemWindow() {
  if (modemWindow_) modemWindow_->close();  // the window frees itself on closing
  modemWindow_ = nullptr;
}

}  // namespace korvo
