#include <signal.h>

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <ostream>

#include "cli/Command.h"
#include "collect/OnlineActivities.h"
#include "collect/OnlineReceiver.h"
#include "store/DataMod.h"
#include "store/SettingsRecord.h"

namespace korvo {
namespace {

std::atomic<bool> gStopAsked{false};

extern "C" void AskStop(int) {
  gStopAsked = true;
}

// SIGINT and SIGTERM ask the monitor to stop while it is installed; the old handlers come back after.
class TStopSignals {
 public:
  TStopSignals() {
    gStopAsked = false;
    struct sigaction sa {};
    sa.sa_handler = AskStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &oldInt_);
    ::sigaction(SIGTERM, &sa, &oldTerm_);
  }
  ~TStopSignals() {
    ::sigaction(SIGINT, &oldInt_, nullptr);
    ::sigaction(SIGTERM, &oldTerm_, nullptr);
  }

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

// korvo2k-cli monitor [--port P]: the online monitor without its window, for a service. Every line
// a terminal reports is stored and printed with the columns of the monitor's list, tab-separated.
// SIGINT or SIGTERM stop it; the batches received until then are stored first.
class TMonitorCommand final : public TCliCommand {
 public:
  TMonitorCommand()
      : TCliCommand("monitor", "monitor [--port P] [--bind ADDRESS]",
                    "receive the transactions networked terminals report, store and print them until "
                    "SIGINT or SIGTERM") {}

  void AddArguments(CLI::App& command) override {
    portOption_ =
        command.add_option("--port", port_, "TCP port to listen on (default: OnlinePort of the settings)")
            ->check(CLI::Range(1, 65535));
    command.add_option("--bind", bind_, "address to listen on (default 0.0.0.0, every interface)");
  }

  int Execute(TCliContext& c) override {
    if (!c.dm.DatabaseOpen()) {
      c.err << "No database: nothing can be stored.\n";
      return kExitFailed;
    }
    TOnlineListenerOptions options;
    options.bindAddress = bind_;
    if (portOption_->count() > 0) {
      options.port = port_;
    } else if (auto port = OnlinePortNumber(c.dm.Settings.OnlinePort())) {
      options.port = *port;
    } else {
      c.err << "OnlinePort \"" << c.dm.Settings.OnlinePort() << "\" is no port number; give --port.\n";
      return kExitFailed;
    }
    const int digits = OnlineCardDigits(c.dm.Link, c.dm.Settings.SelectedAddr());

    TMonitorLookups lookups(c.dm.ADOC);
    TOnlineReceiver::TSinks sinks;
    sinks.display = [&](const TOnlineLine& line, const std::string& mapped) {
      const TMonitorRow r =
          lookups.Row(line.cardNo, line.TimeText(), mapped, line.termNo, line.eventFlag, line.dirFlag);
      c.out << r.time << '\t' << r.cardNo << '\t' << r.idNo << '\t' << r.name << '\t' << r.dir << '\t'
            << r.event << '\t' << r.location << '\t' << r.functionCode << '\n';
    };
    sinks.log = [&](const std::string& message) {
      c.dm.WriteLog(message, true);
      c.err << message << '\n';
    };
    TStopSignals signals;
    TOnlineReceiver receiver(c.dm.ADOC, options, digits, std::move(sinks));
    if (!receiver.Start()) return kExitFailed;
    c.err << "Listening on " << bind_ << ':' << receiver.Port() << ", " << digits << " card digit(s).\n";
    c.err.flush();
    while (!gStopAsked) {
      if (receiver.WaitPending(std::chrono::milliseconds(200))) receiver.ProcessPending();
      c.out.flush();
    }
    receiver.Stop();
    c.err << receiver.Stored() << " line(s) stored.\n";
    return kExitDone;
  }

 private:
  int port_ = 0;
  std::string bind_ = "0.0.0.0";
  CLI::Option* portOption_ = nullptr;
};

}  // namespace

std::unique_ptr<TCliCommand> MakeMonitorCommand() {
  return std::make_unique<TMonitorCommand>();
}

}  // namespace korvo
