// The modem link end to end against the simulator's Hayes modem on a pseudo-terminal, in real time.
#include <gtest/gtest.h>

#include <memory>

#include "ModemLine.h"
#include "Terminal.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

TEST(ModemSim, DialsOnceKeepsTheCallAndHangsUpForASerialTerminal) {
  korvosim::TerminalOptions options;
  options.logonCode = "4711";
  auto terminal = std::make_shared<korvosim::Terminal>(options);
  korvosim::ModemOptions modemOptions;
  modemOptions.dialDelayMs = 200;
  korvosim::ModemLine modem(terminal, modemOptions);
  test::TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\r\nCOM5=" + modem.slavePath() + "\r\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = test::StartProgram(program);
  dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, '001', 'Far', 5)",
                  {TextValue("5551234-9600@4711")});

  EXPECT_EQ(dm.SendCommand("5551234-9600@4711", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
  EXPECT_EQ(modem.lastNumber(), "5551234");
  EXPECT_TRUE(modem.online());
  EXPECT_EQ(dm.Link.ModemLinkState, "5551234");
  EXPECT_EQ(dm.QCCom.Baud(), 9600);

  EXPECT_EQ(dm.SendCommand("5551234-9600@4711", "PAR 7"), "PAR 7 = 6\r");
  EXPECT_EQ(modem.calls(), 1) << "the call stayed up";
  auto commands = modem.transcript().commands();
  ASSERT_GE(commands.size(), 8u);
  EXPECT_EQ(Strings(commands.begin(), commands.begin() + 2), (Strings{"ATV1", "ATD5551234"}));
  EXPECT_EQ(Strings(commands.end() - 6, commands.end()),
            (Strings{"SETLOGON 4711", "GETVER", "SETLOGON 0", "SETLOGON 4711", "PAR 7", "SETLOGON 0"}));

  EXPECT_FALSE(dm.DialTerminal("1"));
  EXPECT_FALSE(dm.QCCom.Opened());
  EXPECT_FALSE(modem.connected()) << "+++ and ATZ hung up";
  EXPECT_EQ(modem.transcript().commands().back(), "ATZ");
  program.ShutDown();
}

// Records what the modem window shows.
struct TModemWindowUi : test::TRecordingUi {
  void SetModemCountDown(const std::string& text) override { counts.push_back(text); }
  Strings counts;
};

// A modem that gives up on the number ends the dial at once: the commands come back within seconds,
// not after the minute's count-down, and get no terminal's answer.
TEST(ModemSim, NoCarrierEndsTheDialAtOnce) {
  korvosim::ModemOptions modemOptions;
  modemOptions.dialDelayMs = 100;
  modemOptions.outcome = korvosim::DialOutcome::NoCarrier;
  korvosim::ModemLine modem(std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{}), modemOptions);
  test::TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\r\nCOM5=" + modem.slavePath() + "\r\n");
  TRealClock clock;
  TModemWindowUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = test::StartProgram(program);
  dm.ADOC.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES (?, '001', 'Far', 5)",
                  {TextValue("5551234-9600")});
  const auto start = clock.MonotonicMs();
  // The simulated modem answers the command itself with ERROR, being in command mode.
  EXPECT_EQ(dm.SendCommand("5551234-9600", "GETVER").find("KORVO2K"), std::string::npos);
  EXPECT_LT(clock.MonotonicMs() - start, 20000) << "well before the 61 seconds of a silent modem";
  ASSERT_FALSE(ui.counts.empty());
  EXPECT_EQ(ui.counts.back(), "NO CARRIER");
  EXPECT_FALSE(modem.online());
  program.ShutDown();
}

}  // namespace
}  // namespace korvo
