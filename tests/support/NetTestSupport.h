#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "link/NetStream.h"
#include "link/PingHost.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace korvo::test {

// Real sockets on virtual time: a wait that real bytes do not end within `graceMs` lets the whole
// limit pass on the virtual clock at once.
TPollFn HybridPoll(TVirtualClock& clock, int graceMs = 200);

// An echo probe that answers from a script (default: a reply every time) and records its limits.
class TFakePinger final : public TPinger {
 public:
  explicit TFakePinger(TVirtualClock& clock) : clock_(clock) {}
  TEchoResult Echo(const std::string& host, int tcpPort, int limitMs) override;

  std::deque<TEchoResult> script;  // when empty: `fallback`
  TEchoResult fallback{false, 1};
  bool waitsOnTimeout = true;  // an error result spends the whole limit first
  std::vector<int> limits;
  std::vector<std::string> hosts;
  std::vector<int> ports;

 private:
  TVirtualClock& clock_;
};

// Points the link at real loopback sockets on virtual time (see HybridPoll) with a scripted pinger
// that answers every probe; returns the pinger.
std::shared_ptr<TFakePinger> UseLoopbackNetwork(TDM& dm, TVirtualClock& clock, int graceMs = 300);

// A program with its database in a fresh folder, on virtual time, with real loopback sockets.
class TNetFixture : public ::testing::Test {
 protected:
  TNetFixture();
  ~TNetFixture() override;
  void AddTerminal(const std::string& fsAddr, int port);

  TTempFolder dir;
  TVirtualClock clock;
  TRecordingUi ui;
  TProgram program{dir.Path(), clock, ui};
  TDM& dm;
  std::shared_ptr<TFakePinger> pinger;
};

}  // namespace korvo::test
