#include "main/ProgressMeter.h"

#include <algorithm>
#include <cmath>

#include "link/CommandText.h"
#include "main/FieldSplit.h"

namespace korvo {

void TProgressMeter::Notice(const std::string& text) {
  if (Contains(text, "-")) {
    auto fields = SplitDelimitedFields(text, '-');
    int v = 0;
    if (!fields.empty() && ReadInteger(fields[0], v)) min_ = v;
    if (fields.size() > 1 && ReadInteger(fields[1], v)) max_ = v;
    caption_ = fields.size() > 2 ? fields[2] : std::string();
    SetPosition(position_);
  } else {
    int v = 0;
    SetPosition(ReadInteger(TrimControl(text), v) ? v : min_);
  }
  UpdateText();
}

void TProgressMeter::SetPosition(int position) {
  position_ = std::clamp(position, std::min(min_, max_), std::max(min_, max_));
}

void TProgressMeter::UpdateText() {
  if (min_ == max_) return;
  double exact = (static_cast<double>(position_) - min_) * 100.0 / (static_cast<double>(max_) - min_);
  std::string percent = std::to_string(std::lround(exact)) + "%";
  if (caption_.empty()) {
    text_ = percent;
    return;
  }
  std::size_t mark = caption_.find('%');
  text_ =
      mark == std::string::npos ? caption_ : caption_.substr(0, mark) + percent + caption_.substr(mark + 1);
}

}  // namespace korvo
