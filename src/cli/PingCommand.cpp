#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/Command.h"
#include "store/DataMod.h"

namespace korvo {
namespace {

// The port of the terminal at `host`, which stands in for the echo where ICMP is not allowed.
int TerminalPort(TDM& dm, const std::string& host) {
  if (!dm.DatabaseOpen()) return 0;
  TQuery q(dm.ADOC);
  q.SetSQL("SELECT fnPort FROM tTerminals WHERE fsAddr = ? OR substr(fsAddr, 1, ?) = ? ORDER BY fsAddr",
           {TextValue(host), IntValue(static_cast<std::int64_t>(host.size()) + 1), TextValue(host + "@")});
  q.Open();
  return q.IsEmpty() ? 0 : static_cast<int>(q.FieldByName("fnPort").AsInteger());
}

// korvo2k-cli ping HOST [PORT]: the echo check made before every network conversation.
class TPingCommand final : public TCliCommand {
 public:
  TPingCommand()
      : TCliCommand("ping", "ping HOST [PORT]",
                    "check that a network terminal answers the echo (PORT: the terminal's port, used where "
                    "ICMP is not allowed)") {}

  void AddArguments(CLI::App& command) override {
    command.add_option("HOST", host_, "dotted IPv4 address")->required();
    portOption_ = command.add_option("PORT", port_, "TCP port; default: the port of the terminal at HOST");
  }

  int Execute(TCliContext& c) override {
    const int port = portOption_->count() > 0 ? port_ : TerminalPort(c.dm, host_);
    const bool answered = c.dm.PingHost(host_, port);
    c.out << host_ << (answered ? " answers the echo." : " does not answer the echo.") << '\n';
    return answered ? kExitDone : kExitFailed;
  }

 private:
  std::string host_;
  int port_ = 0;
  CLI::Option* portOption_ = nullptr;
};

}  // namespace

std::unique_ptr<TCliCommand> MakePingCommand() {
  return std::make_unique<TPingCommand>();
}

}  // namespace korvo
