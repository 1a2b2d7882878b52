#pragma once

#include <array>
#include <cstddef>
#include <functional>

namespace korvo {

// The tool windows that follow a change of the current terminal, in the order they are refreshed.
enum class TFollower : std::size_t {
  DirectCommand,
  Hardware,
  Administrator,
  TimeDate,
  LoadData,
  Tables,
  Cardholders,
  Count
};

// What each open tool window does when a clicked terminal passes or fails the identity check.
// A window that has nothing to do on one of the two outcomes leaves that action empty; each action
// tests for itself whether its window is open.
class TTerminalFollowers {
 public:
  using TAction = std::function<void()>;
  void Set(TFollower who, TAction onPassed, TAction onFailed = {});
  void Clear(TFollower who) { Set(who, {}, {}); }
  // In the order of TFollower.
  void RunPassed() const;
  void RunFailed() const;

 private:
  struct TEntry {
    TAction passed, failed;
  };
  std::array<TEntry, static_cast<std::size_t>(TFollower::Count)> entries_;
};

}  // namespace korvo
