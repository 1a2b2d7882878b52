#include "main/TerminalFollowers.h"

namespace korvo {

void TTerminalFollowers::Set(TFollower who, TAction onPassed, TAction onFailed) {
  auto& e = entries_.at(static_cast<std::size_t>(who));
  e.passed = std::move(onPassed);
  e.failed = std::move(onFailed);
}

void TTerminalFollowers::RunPassed() const {
  for (const auto& e : entries_)
    if (e.passed) e.passed();
}

void TTerminalFollowers::RunFailed() const {
  for (const auto& e : entries_)
    if (e.failed) e.failed();
}

}  // namespace korvo
