#include "main/ui/QtOperatorUi.h"

#include <QApplication>
#include <QMessageBox>

namespace korvo {

void TQtOperatorUi::ProcessMessages() { QApplication::processEvents(); }

void TQtOperatorUi::ProgressNotice(const std::string& text) {
  if (sink_) sink_(sinkContext_, text);
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

void TQtOperatorUi::Beep() { QApplication::beep(); }

}  // namespace korvo
