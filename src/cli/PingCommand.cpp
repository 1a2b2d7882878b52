#include <ostream>

#include "cli/CliCommands.h"
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

}  // namespace

// korvo2k-cli ping HOST [PORT]: the echo check made before every network conversation.
int PingCommandJob(TCliContext& c, const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) {
    c.err << "usage: ping HOST [PORT]\n";
    return 2;
  }
  int port = 0;
  if (args.size() == 2) {
    try {
      port = std::stoi(args[1]);
    } catch (const std::exception&) {
      c.err << "ping: PORT must be a number\n";
      return 2;
    }
  } else {
    port = TerminalPort(c.dm, args[0]);
  }
  bool answered = c.dm.PingHost(args[0], port);
  c.out << args[0] << (answered ? " answers the echo." : " does not answer the echo.") << '\n';
  return answered ? 0 : 1;
}

}  // namespace korvo
