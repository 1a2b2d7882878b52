// korvo2k-cli time get/set against simulated terminals on a pseudo-terminal bus: what reaches the
// terminal's clock, what is printed, logged and returned.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "SerialBus.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/LogMessages.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;
using Strings = std::vector<std::string>;

// A program folder whose COM7 is the simulated bus, with these terminals on it. An address with a
// logon code keeps a silent terminal to plain exchanges, which fail fast.
void PrepareFolder(const TTempFolder& dir, const std::string& device, const Strings& addresses) {
  dir.Write("PORTS.CFG", "[Ports]\nCOM7=" + device + "\n");
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TQuery q(program.Start().ADOC);
  for (const auto& address : addresses)
    program.DM()->InsertRecord(q, "tTerminals",
                               {TextValue(address), TextValue("007"), TextValue("Gate"), IntValue(7)},
                               {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  program.ShutDown();
}

// The "Set DateTime" lines of every log file in the folder.
Strings SetLines(const TTempFolder& dir) {
  Strings lines;
  TRealClock clock;
  TMonthlyLog log(dir.Path(), clock);
  for (const auto& m : test::LogMessages(dir.Read(log.CurrentPath().substr(dir.Path().size()))))
    if (m.rfind("Set DateTime", 0) == 0) lines.push_back(m);
  return lines;
}

struct TTimeCase {
  std::string name;
  Strings args;  // after "--folder DIR"
  int rc;
  std::string out;
  std::string errPart;
  Strings logLines;
  std::string clock1, clock2;  // the terminals' clocks afterwards
};

TEST(CliTime, GetAndSetReachTheTerminalsClocks) {
  const std::vector<TTimeCase> cases = {
      {"get",
       {"time", "get", "1"},
       0,
       "2024-01-31, 14:25:30\n",
       "",
       {},
       "202401313142530",
       "202401313142530"},
      {"set one",
       {"time", "set", "1", "2024-02-29", "10:15:00"},
       0,
       "1 : 2024-02-29, 10:15:00\n",
       "",
       {"Set DateTime 1 : 2024-02-29, 10:15:00."},
       "202402294101500",
       "202401313142530"},
      {"set all",
       {"time", "set", "--all", "2023-12-31", "23:59:59"},
       0,
       "1 : 2023-12-31, 23:59:59\n2 : 2023-12-31, 23:59:59\n",
       "",
       {"Set DateTime 1 : 2023-12-31, 23:59:59.", "Set DateTime 2 : 2023-12-31, 23:59:59."},
       "202312310235959",
       "202312310235959"},
      {"no such day",
       {"time", "set", "1", "2024-02-30", "10:00:00"},
       1,
       "",
       "error: 2024-02-30, 10:00:00 is no valid date and time (yyyy-mm-dd hh:mm:ss); nothing was sent\n",
       {"Set DateTime 1 : 2024-02-30, 10:00:00."},
       "202401313142530",
       "202401313142530"},
      {"unknown address to read",
       {"time", "get", "9"},
       1,
       "",
       "error: No terminal has the address 9.\n",
       {},
       "202401313142530",
       "202401313142530"},
      {"unknown address",
       {"time", "set", "9", "2024-01-31", "14:25:30"},
       1,
       "",
       "error: No terminal has the address 9.\n",
       {},
       "202401313142530",
       "202401313142530"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    korvosim::SerialBus bus;
    // Plain lines carry no address: with two terminals on the bus each must be reached by frames.
    std::shared_ptr<korvosim::Terminal> terminals[] = {bus.attach(1, nullptr, korvosim::BusMode::FramedOnly),
                                                       bus.attach(2, nullptr, korvosim::BusMode::FramedOnly)};
    for (auto& t : terminals) {
      t->freezeClock(true);
      t->setClockText("202401313142530");
    }
    TTempFolder dir;
    PrepareFolder(dir, bus.slavePath(), {"1", "2"});
    Strings args{"--folder", dir.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), c.rc) << err.str();
    EXPECT_EQ(out.str(), c.out);
    if (c.errPart.empty())
      EXPECT_EQ(err.str(), "");
    else
      EXPECT_NE(err.str().find(c.errPart), std::string::npos) << err.str();
    EXPECT_EQ(SetLines(dir), c.logLines);
    EXPECT_EQ(terminals[0]->clockText(), c.clock1);
    EXPECT_EQ(terminals[1]->clockText(), c.clock2);
    if (c.rc != 0) {
      for (const auto& command : bus.transcript().commands())
        EXPECT_NE(command.rfind("TIME ", 0), 0u) << "a refused time is never sent: " << command;
    }
  }
}

TEST(CliTime, WithoutATimeThePcClockIsSent) {
  korvosim::SerialBus bus;
  auto terminal = bus.attach(1);
  terminal->freezeClock(true);
  TTempFolder dir;
  PrepareFolder(dir, bus.slavePath(), {"1"});
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--folder", dir.Path(), "time", "set", "1"}, out, err), 0) << err.str();
  std::smatch m;
  const std::string printed = out.str();
  ASSERT_TRUE(
      std::regex_match(printed, m, std::regex(R"(1 : (\d{4})-(\d\d)-(\d\d), (\d\d):(\d\d):(\d\d)\n)")))
      << printed;
  // The terminal holds exactly the time printed and logged, with its day of week in the middle.
  const std::string clock = terminal->clockText();
  EXPECT_EQ(clock.substr(0, 8) + clock.substr(9),
            m.str(1) + m.str(2) + m.str(3) + m.str(4) + m.str(5) + m.str(6));
  EXPECT_EQ(SetLines(dir), Strings{"Set DateTime " + printed.substr(0, printed.size() - 1) + "."});
}

TEST(CliTime, ASilentTerminalExitsOne) {
  korvosim::SerialBus bus;  // nobody answers
  TTempFolder dir;
  PrepareFolder(dir, bus.slavePath(), {"1@5"});
  const struct {
    Strings args;
    std::string err;
  } cases[] = {
      {{"time", "get", "1@5"}, "error: the clock of the terminal 1@5 could not be read\n"},
      {{"time", "set", "1@5", "2024-01-31", "14:25:30"}, "error: no answer from the terminal 1@5\n"},
  };
  for (const auto& c : cases) {
    Strings args{"--folder", dir.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), 1) << c.args[1];
    EXPECT_EQ(out.str(), "") << c.args[1];
    EXPECT_EQ(err.str(), c.err);
  }
}

}  // namespace
}  // namespace korvo
