#pragma once

#include <QProgressBar>

namespace korvo {

class TProgressMeter;

// The progress meter `VM`. It shows exactly the text the meter state computed, so a caption with
// "%" in it is never read as one of the bar's own format codes.
class TMeterBar : public QProgressBar {
  Q_OBJECT
 public:
  explicit TMeterBar(QWidget* parent = nullptr);
  void Show(const TProgressMeter& meter);
  QString text() const override { return text_; }

 private:
  QString text_;
};

}  // namespace korvo
