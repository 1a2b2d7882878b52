#include "main/ui/Animation.h"

#include <QPainter>
#include <algorithm>

namespace korvo {
namespace {
constexpr int kFrames = 12;
}

TAnimation::TAnimation(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &TAnimation::Step);
}

void TAnimation::Start() {
  timer_.start();
}

void TAnimation::Stop() {
  timer_.stop();
}

void TAnimation::Step() {
  frame_ = (frame_ + 1) % kFrames;
  update();
}

void TAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor on = palette().color(QPalette::Highlight);
  const QColor off = palette().color(QPalette::Mid);
  if (kind_ == TKind::Ring) {
    // Twelve dots round a circle, the lit one running round.
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0 - 4;
    for (int i = 0; i < kFrames; ++i) {
      p.save();
      p.translate(centre);
      p.rotate(i * 360.0 / kFrames);
      p.setPen(Qt::NoPen);
      p.setBrush(i == frame_ ? on : off);
      p.drawEllipse(QPointF(0, -radius), 3, 3);
      p.restore();
    }
    return;
  }
  // A computer and a terminal at the ends, with a packet running along the line between them.
  const int h = height();
  const int box = std::max(8, h - 6);
  p.setPen(palette().color(QPalette::Dark));
  p.setBrush(palette().color(QPalette::Button));
  p.drawRect(1, (h - box) / 2, box, box);
  p.drawRect(width() - box - 2, (h - box) / 2, box, box);
  const int left = box + 6, right = width() - box - 8;
  p.drawLine(left, h / 2, right, h / 2);
  const double x = left + (right - left) * static_cast<double>(frame_) / (kFrames - 1);
  p.setPen(Qt::NoPen);
  p.setBrush(on);
  p.drawEllipse(QPointF(x, h / 2.0), 4, 4);
}

}  // namespace korvo
