#pragma once

#include <string>

namespace korvo {

// The state of the main window's progress meter, driven only by progress notices. A notice with a
// "-" sets the range (and the caption: "0-10-Step" is the range 0 to 10 captioned Step); any other
// notice is a position. The meter's text is the percentage worked into the caption.
class TProgressMeter {
 public:
  void Notice(const std::string& text);

  int Min() const { return min_; }
  int Max() const { return max_; }
  // Always within the range, as the meter keeps it.
  int Position() const { return position_; }
  const std::string& Caption() const { return caption_; }
  // What the meter shows. It stays as it was while the minimum equals the maximum.
  const std::string& Text() const { return text_; }

 private:
  void SetPosition(int position);
  void UpdateText();

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  std::string caption_;
  std::string text_;
};

}  // namespace korvo
