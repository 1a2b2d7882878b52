// A terminal's clock read and set over a faulty TCP line, against the simulator on virtual time: a
// reading is the terminal's clock or the placeholder, never noise, and a set reported as taken
// really changed the clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Faults.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "config/TerminalClock.h"
#include "link/SocketStream.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

class ClockFaultSim : public test::TNetFixture {
 protected:
  korvosim::TcpFront tcp;
};

TEST_F(ClockFaultSim, AFaultyLineGivesTheClockOrThePlaceholderAndASetIsTakenOnlyWhenMade) {
  const std::string clockRead = "20240131142530";
  const struct {
    const char* name;
    korvosim::Faults faults;
    std::string read;
    TClockSet set;  // the clock is set in every case: a silent terminal still carries it out
  } cases[] = {
      {"trickled bytes", {.trickleBps = 2000}, clockRead, TClockSet::Accepted},
      {"late replies", {.delayMs = 20}, clockRead, TClockSet::Accepted},
      {"noise before every reply", {.garbage = true}, kClockPlaceholder, TClockSet::Accepted},
      {"no completion tokens", {.noCompletion = true}, kClockPlaceholder, TClockSet::Silent},
      {"silent", {.silent = true}, kClockPlaceholder, TClockSet::Silent},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tTerminals");
    auto t = std::make_shared<korvosim::Terminal>();
    t->setClock({2024, 1, 31, 14, 25, 30});
    t->freezeClock(true);
    const int port = tcp.add(t);
    AddTerminal("127.0.0.1", port);
    tcp.setFaults(port, c.faults);
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 30));
    };
    EXPECT_EQ(ReadTerminalTime(dm.Link, "127.0.0.1"), c.read);
    EXPECT_EQ(SendTerminalTime(dm.Link, "127.0.0.1", "2025-02-03, 04:05:06"), c.set);
    EXPECT_EQ(t->clockText(), "202502031040506");
  }
}

}  // namespace
}  // namespace korvo
