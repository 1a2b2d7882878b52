#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Command.h"
#include "cli/ConsoleUi.h"
#include "config/TerminalClock.h"
#include "link/LinkErrors.h"
#include "store/Clock.h"
#include "store/DataMod.h"

namespace korvo {
namespace {

constexpr const char* kTimeUsage = "time get ADDRESS | time set ADDRESS|--all [yyyy-mm-dd hh:mm:ss]";

// korvo2k-cli time get ADDRESS: the terminal's clock as yyyy-mm-dd, hh:mm:ss.
// korvo2k-cli time set ADDRESS|--all [yyyy-mm-dd hh:mm:ss]: one terminal, or every terminal in address
// order, set to the given time or to the PC clock read once; the same "Set DateTime" log lines as the
// Time & Date window.
class TTimeCommand final : public TCliCommand {
 public:
  TTimeCommand() : TCliCommand("time", kTimeUsage, "read or set terminal clocks") {}

  void AddArguments(CLI::App& command) override {
    command.require_subcommand(1);
    get_ = command.add_subcommand("get", "print a terminal's clock as yyyy-mm-dd, hh:mm:ss");
    get_->fallthrough();
    get_->add_option("ADDRESS", address_, "the terminal's address (fsAddr of tTerminals)")->required();
    set_ = command.add_subcommand(
        "set",
        "set a terminal's clock, or every terminal's with --all, to the given time or to the PC clock");
    set_->fallthrough();
    set_->add_flag("--all", all_, "every terminal of tTerminals, in address order");
    set_->add_option("ARGS", words_,
                     "ADDRESS (without --all), then the date yyyy-mm-dd and the time hh:mm:ss");
    // The address and the time are told apart by --all only, so they are sorted out here.
    set_->callback([this] {
      if (!all_ && words_.empty()) throw CLI::ValidationError("ADDRESS", "give an ADDRESS or --all");
      const std::size_t timeWords = words_.size() - (all_ ? 0 : 1);
      if (timeWords != 0 && timeWords != 2)
        throw CLI::ValidationError("TIME", "give the date and the time as yyyy-mm-dd hh:mm:ss, or neither");
    });
  }

  int Execute(TCliContext& c) override { return get_->parsed() ? Get(c) : Set(c); }

 private:
  int Get(TCliContext& c) {
    // The read itself turns every failure into the placeholder; an unknown address is worth its own word.
    if (!c.dm.Link.FindTerminal(address_)) throw TUnknownTerminalError(address_);
    const std::string clock = ReadTerminalTime(c.dm.Link, address_);
    c.ui.EndProgressLine();
    if (clock == kClockPlaceholder) {
      c.err << "error: the clock of the terminal " << address_ << " could not be read\n";
      return kExitFailed;
    }
    c.out << ClockDigitsText(clock) << '\n';
    return kExitDone;
  }

  int Set(TCliContext& c) {
    const std::size_t first = all_ ? 0 : 1;
    const TClockTarget current{all_ ? std::string() : words_.front(), {}};
    const std::string timeText =
        words_.size() > first ? words_[first] + ", " + words_[first + 1] : ClockText(c.dm.Clock.Now());
    const TClockSetReport report =
        SetTimeOnTerminals(ClockJobOf(c.dm), current, all_, timeText, [](const std::string&) {});
    c.ui.EndProgressLine();
    int rc = kExitDone;
    for (const auto& r : report.results) {
      switch (r.result) {
        case TClockSet::Accepted:
          c.out << r.target.address << " : " << timeText << '\n';
          break;
        case TClockSet::Silent:
          c.err << "error: no answer from the terminal " << r.target.address << '\n';
          rc = kExitFailed;
          break;
        case TClockSet::Failed:
          c.err << "error: the terminal " << r.target.address << " refused the time " << timeText << '\n';
          rc = kExitFailed;
          break;
        case TClockSet::Refused:
          rc = kExitFailed;
          break;
      }
    }
    if (!TimeCommandDigits(timeText)) {
      c.err << "error: " << timeText
            << " is no valid date and time (yyyy-mm-dd hh:mm:ss); nothing was sent\n";
      rc = kExitFailed;
    }
    if (all_ && report.results.empty()) c.err << "warning: tTerminals holds no terminal\n";
    return rc;
  }

  CLI::App* get_ = nullptr;
  CLI::App* set_ = nullptr;
  std::string address_;
  bool all_ = false;
  std::vector<std::string> words_;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeTimeCommand() {
  return std::make_unique<TTimeCommand>();
}

}  // namespace korvo
