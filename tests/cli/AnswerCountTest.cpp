#include "cli/AnswerCount.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvo {
namespace {

struct TAnswerCase {
  std::string reply;
  std::size_t lines;
  std::size_t unanswered;
  bool silent;
};

TEST(AnswerCount, FailureMarkersAreCountedPerLine) {
  const std::vector<TAnswerCase> cases = {
      {"--\r", 1, 1, true},           // serial: trimmed entries followed by CR
      {"--\r--\r--\r", 3, 3, true},   // three lines, none answered
      {"-- \r", 1, 1, true},          // network: the entry's own CR LF became a blank
      {"--\r\n--\r\n", 2, 2, true},   // network template data: entries run together
      {"OK\r--\r", 2, 1, false},      // one line answered
      {"PAR 7 = --\r", 1, 0, false},  // "--" inside an answer is an answer
      {"KORVO2K/Bio Ver 2.00 OK\r", 1, 0, false},
      {"", 0, 0, true},  // nothing came back at all
  };
  for (const auto& c : cases) {
    const TAnswerCount count = CountAnswers(c.reply);
    EXPECT_EQ(count.lines, c.lines) << testing::PrintToString(c.reply);
    EXPECT_EQ(count.unanswered, c.unanswered) << testing::PrintToString(c.reply);
    EXPECT_EQ(count.Silent(), c.silent) << testing::PrintToString(c.reply);
  }
}

}  // namespace
}  // namespace korvo
