#pragma once

#include <QString>
#include <string>

class QWidget;

namespace korvo {

// What the operator hooks of the Qt application (TQtOperatorUi) show in the main window: the
// progress meter and the status text of a conversation. The main window offers it once it exists.
class TOperatorFrame {
 public:
  virtual ~TOperatorFrame() = default;
  // The window the message boxes stand over when no dialog is in front.
  virtual QWidget* FrameWindow() = 0;
  virtual void ProgressNotice(const std::string& text) = 0;
  virtual int ProgressMaximum() const = 0;
  // The status text while a terminal is talked to; an empty text when the talk is over.
  virtual void ShowTalk(const QString& text) = 0;
};

}  // namespace korvo
