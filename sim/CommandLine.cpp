#include "CommandLine.h"

#include <stdexcept>

#include "ReplyOverrideSpec.h"

namespace korvosim {

namespace {

int toInt(const std::string& option, const std::string& value) {
  try {
    std::size_t used = 0;
    const int v = std::stoi(value, &used);
    if (used == value.size()) return v;
  } catch (const std::exception&) {
  }
  throw std::invalid_argument(option + " wants a number, not \"" + value + "\"");
}

std::vector<int> toInts(const std::string& option, const std::string& value) {
  std::vector<int> out;
  std::size_t start = 0;
  while (start <= value.size()) {
    const auto comma = value.find(',', start);
    out.push_back(
        toInt(option, value.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace

const char* usageText() {
  return "usage: korvo-sim [front ends] [options]\n"
         "front ends (any number of them):\n"
         "  --serial                 serial bus on a pseudo-terminal; prints its path\n"
         "  --tcp PORT[,PORT...]     one terminal per TCP port (0: a free one); prints each port\n"
         "  --modem                  Hayes modem on a pseudo-terminal; prints its path\n"
         "  --push HOST:PORT         send online transaction lines to HOST:PORT\n"
         "serial bus:\n"
         "  --addr A[,B...]          bus addresses of the terminals (default 1)\n"
         "  --framed-only            terminals answer frames only\n"
         "  --plain-only             terminals answer plain lines only\n"
         "  --block N                data characters per framed reply (default 256)\n"
         "modem:\n"
         "  --dial-delay MS          time from ATD to the result (default 200)\n"
         "  --dial connect|busy|none|nocarrier   what dialling leads to (default connect)\n"
         "pusher:\n"
         "  --rate N                 lines per second (default 1; 0: at once)\n"
         "  --count N                lines to send (default 10)\n"
         "  --term NNN               terminal number in the lines (default 001)\n"
         "  --digits N               card digits in the lines (default 6)\n"
         "  --connections N          connections at once, each sending --count lines (default 1)\n"
         "  --hold MS                keep each connection open MS after its last line\n"
         "  --gap MS[,MS...]         pause before each further line (the last repeats); replaces --rate\n"
         "  --lf                     end lines with LF only\n"
         "  --no-end                 send lines without any line end\n"
         "  --tail TEXT              send TEXT without line end after the last line\n"
         "  --sequential             card numbers count up: every line differs\n"
         "terminals:\n"
         "  --logon CODE             terminals want SETLOGON CODE first\n"
         "  --records N              transaction records in the TRANS folder (default 0)\n"
         "  --days D                 days the records spread over (default 1)\n"
         "  --seed N                 seed of the generated records\n"
         "  --reply [K]COMMAND=REPLY scripted answer to the command lines starting with COMMAND\n"
         "                           (whole words); REPLY is FAIL, silent, restart (the terminal\n"
         "                           restarts on the line), partial:N (first N bytes of the normal\n"
         "                           answer) or a text (\\r \\n \\t \\\\ \\xHH; text:...\n"
         "                           for a text that looks like a keyword); [K]: first K lines only.\n"
         "                           Repeatable; the first that matches a line takes it\n"
         "  --refuse-template CARD   the module answers FAIL to the template bytes of CARD\n"
         "                           (after TMPSAVE CARD was accepted); repeatable\n"
         "general:\n"
         "  --throttle BPS           line rate of everything sent (default: no limit)\n"
         "  --bind ADDRESS           address the TCP ports listen on (default 127.0.0.1)\n"
         "  --verbose                print every command received on stderr\n"
         "  --no-stdin               keep running when standard input closes\n"
         "The simulator runs until it is killed or its standard input closes.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine c;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw std::invalid_argument(a + " wants a value");
      return args[++i];
    };
    if (a == "--serial")
      c.serial = true;
    else if (a == "--addr")
      c.addresses = toInts(a, value());
    else if (a == "--framed-only")
      c.framedOnly = true;
    else if (a == "--plain-only")
      c.plainOnly = true;
    else if (a == "--block")
      c.blockSize = toInt(a, value());
    else if (a == "--tcp")
      c.tcpPorts = toInts(a, value());
    else if (a == "--bind")
      c.bind = value();
    else if (a == "--modem")
      c.modem = true;
    else if (a == "--dial-delay")
      c.dialDelayMs = toInt(a, value());
    else if (a == "--dial")
      c.dialOutcome = value();
    else if (a == "--push") {
      const std::string& v = value();
      const auto colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0) throw std::invalid_argument("--push wants HOST:PORT");
      c.pushHost = v.substr(0, colon);
      c.pushPort = toInt(a, v.substr(colon + 1));
    } else if (a == "--rate") {
      try {
        c.rate = std::stod(value());
      } catch (const std::exception&) {
        throw std::invalid_argument("--rate wants a number");
      }
    } else if (a == "--count")
      c.count = toInt(a, value());
    else if (a == "--term")
      c.termNo = value();
    else if (a == "--digits")
      c.cardDigits = toInt(a, value());
    else if (a == "--connections")
      c.connections = toInt(a, value());
    else if (a == "--hold")
      c.holdMs = toInt(a, value());
    else if (a == "--gap")
      c.gapsMs = toInts(a, value());
    else if (a == "--lf")
      c.lineEnd = std::string(1, '\n');
    else if (a == "--no-end")
      c.lineEnd.clear();
    else if (a == "--tail")
      c.tail = value();
    else if (a == "--sequential")
      c.sequential = true;
    else if (a == "--logon")
      c.logon = value();
    else if (a == "--reply")
      c.replies.push_back(parseReplyOverride(value()));
    else if (a == "--refuse-template")
      c.refusedTemplateCards.push_back(value());
    else if (a == "--throttle")
      c.throttleBps = toInt(a, value());
    else if (a == "--records")
      c.records = toInt(a, value());
    else if (a == "--days")
      c.days = toInt(a, value());
    else if (a == "--seed")
      c.seed = static_cast<unsigned>(toInt(a, value()));
    else if (a == "--verbose")
      c.verbose = true;
    else if (a == "--no-stdin")
      c.ignoreStdin = true;
    else if (a == "--help" || a == "-h")
      c.help = true;
    else
      throw std::invalid_argument("unknown option " + a);
  }
  if (c.framedOnly && c.plainOnly)
    throw std::invalid_argument("--framed-only and --plain-only exclude each other");
  for (int a : c.addresses)
    if (a < 0 || a > 255) throw std::invalid_argument("bus addresses are 0 to 255");
  if (c.dialOutcome != "connect" && c.dialOutcome != "busy" && c.dialOutcome != "none" &&
      c.dialOutcome != "nocarrier")
    throw std::invalid_argument("--dial wants connect, busy, none or nocarrier");
  if (!c.help && !c.serial && c.tcpPorts.empty() && !c.modem && !c.pushHost)
    throw std::invalid_argument("choose at least one of --serial, --tcp, --modem, --push");
  return c;
}

}  // namespace korvosim
