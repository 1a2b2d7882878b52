#include "cli/AnswerCount.h"

#include "link/CommandText.h"

namespace korvo {

TAnswerCount CountAnswers(std::string_view reply) {
  TAnswerCount count;
  // A network entry keeps its own line end, which comes back as a blank before the joining CR.
  for (const auto& line : SplitCommandLines(reply)) {
    ++count.lines;
    if (TrimControl(line) == "--") ++count.unanswered;
  }
  return count;
}

}  // namespace korvo
