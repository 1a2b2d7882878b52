#pragma once

#include <cstddef>
#include <string_view>

namespace korvo {

// How many lines of a joined terminal reply there are and how many of them got no answer, i.e.
// hold only the failure marker "--".
struct TAnswerCount {
  std::size_t lines = 0;
  std::size_t unanswered = 0;
  // Nothing came back at all: every line is "--", or there was no line.
  bool Silent() const { return unanswered == lines; }
};

TAnswerCount CountAnswers(std::string_view reply);

}  // namespace korvo
