#include "main/ui/QtOperatorUi.h"

#include <QApplication>
#include <QMessageBox>

#include "link/ui/SplashModem.h"
#include "main/ui/OperatorFrame.h"

namespace korvo {

TQtOperatorUi::~TQtOperatorUi() {
  while (talks_ > 0) TalkEnded();
}

QWidget* TQtOperatorUi::BoxParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  if (frame_ && frame_->FrameWindow()->isVisible()) return frame_->FrameWindow();
  return nullptr;
}

void TQtOperatorUi::ProcessMessages() {
  QApplication::processEvents();
}

void TQtOperatorUi::ProgressNotice(const std::string& text) {
  if (frame_) frame_->ProgressNotice(text);
}

int TQtOperatorUi::ProgressMaximum() {
  return frame_ ? frame_->ProgressMaximum() : TOperatorUi::ProgressMaximum();
}

void TQtOperatorUi::Warning(const std::string& text) {
  QMessageBox::warning(BoxParent(), QApplication::applicationName(), QString::fromStdString(text));
}

void TQtOperatorUi::Information(const std::string& text) {
  QMessageBox::information(BoxParent(), QApplication::applicationName(), QString::fromStdString(text));
}

void TQtOperatorUi::Error(const std::string& text) {
  QMessageBox::critical(BoxParent(), QApplication::applicationName(), QString::fromStdString(text));
}

void TQtOperatorUi::CaptionedError(const std::string& caption, const std::string& text) {
  QMessageBox::critical(BoxParent(), QString::fromStdString(caption), QString::fromStdString(text));
}

bool TQtOperatorUi::AskYesNo(const std::string& text) {
  return QMessageBox::question(BoxParent(), QApplication::applicationName(), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TAbortRetry TQtOperatorUi::AskAbortRetry(const std::string& text) {
  auto answer = QMessageBox::warning(BoxParent(), QApplication::applicationName(),
                                     QString::fromStdString(text), QMessageBox::Abort | QMessageBox::Retry);
  return answer == QMessageBox::Retry ? TAbortRetry::Retry : TAbortRetry::Abort;
}

void TQtOperatorUi::Beep() {
  QApplication::beep();
}

void TQtOperatorUi::TalkStarted(const std::string& who) {
  ++talks_;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (frame_) frame_->ShowTalk(QString::fromStdString("Talking to " + who) + QChar(0x2026));
}

void TQtOperatorUi::TalkEnded() {
  if (talks_ == 0) return;  // an end without a start changes no cursor
  --talks_;
  QApplication::restoreOverrideCursor();
  if (frame_ && talks_ == 0) frame_->ShowTalk(QString());
}

void TQtOperatorUi::ShowModemWindow(const std::string& number, const std::string& rate,
                                    std::function<void()> onDisconnect) {
  CloseModemWindow();
  auto* window = new TfSplashModem(QString::fromStdString(number), QString::fromStdString(rate));
  if (onDisconnect)
    QObject::connect(window, &TfSplashModem::disconnectRequested, window, std::move(onDisconnect));
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
