#pragma once

#include <QTimer>
#include <QWidget>

namespace korvo {

// A small looping animation drawn by the program itself, so the about box needs no video files.
class TAnimation : public QWidget {
  Q_OBJECT
 public:
  enum class TKind { Transfer, Ring };

  explicit TAnimation(QWidget* parent = nullptr);
  void SetKind(TKind kind) { kind_ = kind; }
  void Start();
  void Stop();
  bool Active() const { return timer_.isActive(); }
  int Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Step();

  TKind kind_ = TKind::Transfer;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace korvo
