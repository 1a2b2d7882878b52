#include "main/ui/MeterBar.h"

#include <algorithm>

#include "main/ProgressMeter.h"

namespace korvo {

TMeterBar::TMeterBar(QWidget* parent) : QProgressBar(parent) {
  setObjectName("VM");
  setTextVisible(true);
  setAlignment(Qt::AlignCenter);
  setRange(0, 100);
  setValue(0);
}

void TMeterBar::Show(const TProgressMeter& meter) {
  text_ = QString::fromStdString(meter.Text());
  int low = std::min(meter.Min(), meter.Max()), high = std::max(meter.Min(), meter.Max());
  // An empty range would turn the bar into a busy indicator.
  setRange(low, high == low ? low + 1 : high);
  setValue(meter.Position());
  update();
}

}  // namespace korvo
