#include "cli/ConsoleUi.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace korvo {
namespace {

struct TProgressCase {
  std::string name;
  bool show;
  std::vector<std::string> notices;  // "!" stands for a warning in between
  std::string err;
};

TEST(ConsoleUi, ProgressIsOneLineRewrittenInPlace) {
  const std::vector<TProgressCase> cases = {
      {"hidden", false, {"0-4", "1", "4"}, ""},
      {"range with caption",
       true,
       {"0-4-Loading", "1", "1", "2", "4"},
       "\r[  0%] Loading 0/4\r[ 25%] Loading 1/4\r[ 50%] Loading 2/4\r[100%] Loading 4/4\n"},
      {"default range, shorter line wiped", true, {"100", "7"}, "\r[100%] 100/100\r[  7%] 7/100  \n"},
      {"empty list", true, {"0--1"}, "\r[100%] 0/-1\n"},
      {"warning closes the line",
       true,
       {"0-2", "1", "!", "2"},
       "\r[  0%] 0/2\r[ 50%] 1/2\nwarning: w\n\r[100%] 2/2\n"},
      {"not a notice", true, {"abc", "3x"}, ""},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    {
      TConsoleUi ui(out, err, c.show);
      for (const auto& n : c.notices) n == "!" ? ui.Warning("w") : ui.ProgressNotice(n);
    }
    EXPECT_EQ(err.str(), c.err) << c.name;
    EXPECT_EQ(out.str(), "") << c.name;
  }
}

}  // namespace
}  // namespace korvo
