#pragma once

#include <iosfwd>
#include <string>

#include "store/OperatorUi.h"

namespace korvo {

// The operator hooks of the headless front end: messages as text lines, questions answered with
// the safe choice (No, Abort), since nobody is there to answer them. With `showProgress` the
// progress notices of long jobs are drawn as one line on `err` that is rewritten in place.
class TConsoleUi final : public TOperatorUi {
 public:
  TConsoleUi(std::ostream& out, std::ostream& err, bool showProgress = false)
      : out_(out), err_(err), showProgress_(showProgress) {}
  ~TConsoleUi() override { EndProgressLine(); }
  void ProgressNotice(const std::string& text) override;
  int ProgressMaximum() override { return max_; }
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAbortRetry AskAbortRetry(const std::string& text) override;

  // Closes a progress line still being drawn, so that the next text starts on a line of its own.
  void EndProgressLine();
  int ErrorCount() const { return errors_; }

 private:
  void DrawProgress();

  std::ostream& out_;
  std::ostream& err_;
  bool showProgress_;
  int errors_ = 0;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  std::string caption_;
  std::string drawn_;  // the progress line as last drawn; empty when none is open
};

}  // namespace korvo
