#pragma once

#include <iosfwd>

#include "store/OperatorUi.h"

namespace korvo {

// The operator hooks of the headless front end: messages as text lines, questions answered with
// the safe choice (No, Abort), since nobody is there to answer them.
class TConsoleUi final : public TOperatorUi {
 public:
  TConsoleUi(std::ostream& out, std::ostream& err, bool showProgress = false)
      : out_(out), err_(err), showProgress_(showProgress) {}
  void ProgressNotice(const std::string& text) override;
  void Warning(const std::string& text) override;
  void Information(const std::string& text) override;
  void Error(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAbortRetry AskAbortRetry(const std::string& text) override;

  int ErrorCount() const { return errors_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool showProgress_;
  int errors_ = 0;
};

}  // namespace korvo
