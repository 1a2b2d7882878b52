// korvo-sim: plays access-control terminals on a serial bus, over TCP, behind a modem, and as online
// reporters, for the utility to talk to.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "CommandLine.h"
#include "ModemLine.h"
#include "OnlinePusher.h"
#include "SerialBus.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"

using namespace korvosim;

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char b = 1;
  [[maybe_unused]] auto n = ::write(signalPipe[1], &b, 1);
}

std::shared_ptr<Terminal> makeTerminal(const CommandLine& c, int index) {
  TerminalOptions o;
  o.logonCode = c.logon;
  o.replyOverrides = c.replies;
  o.refusedTemplateCards = c.refusedTemplateCards;
  auto t = std::make_shared<Terminal>(o);
  if (c.records > 0) {
    TransactionPlan plan;
    plan.records = c.records;
    plan.days = c.days;
    plan.seed = c.seed + static_cast<unsigned>(index);
    generateTransactions(*t, plan);
  }
  return t;
}

std::string printable(const std::string& text) {
  std::string out;
  for (unsigned char ch : text) {
    if (ch >= 0x20 && ch < 0x7f) {
      out += static_cast<char>(ch);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", ch);
      out += buf;
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine c;
  try {
    c = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::invalid_argument& e) {
    std::cerr << "korvo-sim: " << e.what() << "\n" << usageText();
    return 2;
  }
  if (c.help) {
    std::cout << usageText();
    return 0;
  }
  if (::pipe(signalPipe) != 0) return 1;
  struct sigaction sa {};
  sa.sa_handler = onSignal;
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  auto transcript = std::make_shared<Transcript>();
  if (c.verbose)
    transcript->setListener([](const TranscriptEntry& e) {
      std::cerr << frontName(e.front) << " " << e.where << " " << channelName(e.channel) << ": "
                << printable(e.text) << (e.note.empty() ? "" : "  (" + e.note + ")") << "\n";
    });

  try {
    std::unique_ptr<SerialBus> bus;
    std::unique_ptr<ModemLine> modem;
    std::unique_ptr<TcpFront> tcp;
    std::unique_ptr<OnlinePusher> pusher;
    int index = 0;
    if (c.serial) {
      SerialBusOptions o;
      o.throttleBps = c.throttleBps;
      o.blockSize = static_cast<std::size_t>(c.blockSize);
      o.transcript = transcript;
      bus = std::make_unique<SerialBus>(o);
      const BusMode mode = c.framedOnly  ? BusMode::FramedOnly
                           : c.plainOnly ? BusMode::PlainOnly
                                         : BusMode::PlainAndFramed;
      for (int a : c.addresses) bus->attach(a, makeTerminal(c, index++), mode);
      std::cout << bus->slavePath() << "\n";
    }
    if (c.modem) {
      ModemOptions o;
      o.dialDelayMs = c.dialDelayMs;
      o.outcome = c.dialOutcome == "busy"        ? DialOutcome::Busy
                  : c.dialOutcome == "none"      ? DialOutcome::NoAnswer
                  : c.dialOutcome == "nocarrier" ? DialOutcome::NoCarrier
                                                 : DialOutcome::Connect;
      o.throttleBps = c.throttleBps;
      o.transcript = transcript;
      modem = std::make_unique<ModemLine>(makeTerminal(c, index++), o);
      std::cout << modem->slavePath() << "\n";
    }
    if (!c.tcpPorts.empty()) {
      TcpFrontOptions o;
      o.bindAddress = c.bind;
      o.throttleBps = c.throttleBps;
      o.transcript = transcript;
      tcp = std::make_unique<TcpFront>(o);
      for (int p : c.tcpPorts) std::cout << tcp->add(makeTerminal(c, index++), p) << "\n";
    }
    if (c.pushHost) {
      OnlinePusherOptions o;
      o.host = *c.pushHost;
      o.port = c.pushPort;
      o.linesPerSecond = c.rate;
      o.count = c.count;
      o.termNo = c.termNo;
      o.cardDigits = c.cardDigits;
      o.seed = c.seed;
      o.connections = c.connections;
      o.holdOpenMs = c.holdMs;
      o.gapsMs = c.gapsMs;
      o.lineEnd = c.lineEnd;
      o.tail = c.tail;
      o.sequentialCards = c.sequential;
      o.transcript = transcript;
      pusher = std::make_unique<OnlinePusher>(o);
    }
    std::cout.flush();

    const bool pushOnly = pusher && !bus && !modem && !tcp;
    for (;;) {
      pollfd fds[2] = {{signalPipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
      const nfds_t n = c.ignoreStdin ? 1 : 2;
      ::poll(fds, n, pushOnly ? 100 : -1);
      if (fds[0].revents) break;
      if (n == 2 && fds[1].revents) {
        char buf[256];
        if (::read(STDIN_FILENO, buf, sizeof buf) <= 0) break;
      }
      if (pushOnly && pusher->done()) break;
    }
    if (pusher) {
      std::cerr << "korvo-sim: " << pusher->sent() << " online lines sent";
      const auto per = pusher->sentPerConnection();
      if (per.size() > 1) {
        std::cerr << " (";
        for (std::size_t k = 0; k < per.size(); ++k) std::cerr << (k ? " " : "") << per[k];
        std::cerr << " per connection)";
      }
      std::cerr << "\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "korvo-sim: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
