// Terminal clocks: the "TIME" command bytes, the day of week, refused texts that send nothing, the
// reading of a terminal's answer, the walk over every terminal and the start-up synchronisation,
// against scripted terminals on a fake serial line in virtual time.
#include <gtest/gtest.h>

#include <optional>

#include "config/TerminalClock.h"
#include "link/LinkErrors.h"
#include "store/DataMod.h"
#include "support/MainFixture.h"
#include "support/PortTerminals.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using test::LocalTime;

// A terminal that keeps the clock it is set to and answers "TIME" with it.
struct TClockTerminal {
  std::string clock = "202401313142530";
  std::string setReply = "OK\r\n";
  std::string Answer(const std::string& line) {
    if (line == "TIME") return clock + "\r\n";
    if (line.rfind("TIME ", 0) == 0) {
      if (setReply == "OK\r\n") clock = line.substr(5);
      return setReply;
    }
    return "? FAIL\r\n";
  }
};

class TerminalClockTest : public test::TMainFixture {
 protected:
  void SetUp() override {
    TMainFixture::SetUp();
    dm->QCCom.SetDeviceFactory(line.Factory());
    clock.SetWallClock(LocalTime(2024, 1, 31, 14, 25, 30));
  }
  // Terminal `n` at address n on COM n.
  TClockTerminal& Terminal(int n, const std::string& location) {
    AddTerminal(std::to_string(n), "00" + std::to_string(n), location, n);
    terminals.answer[n] = [this, n](const std::string& l) { return clocks[n].Answer(l); };
    return clocks[n];
  }
  TClockJob Job() { return ClockJobOf(*dm); }
  TClockSetReport Set(const TClockTarget& current, bool all, const std::string& text) {
    return SetTimeOnTerminals(Job(), current, all, text,
                              [this](const std::string& location) { shown.push_back(location); });
  }

  test::TFakeSerialLine line{clock};
  test::TPortTerminals terminals{line};
  std::map<int, TClockTerminal> clocks;
  Strings shown;
};

TEST(TimeCommand, DayOfWeekAndRefusals) {
  const struct {
    const char* text;
    std::optional<std::string> digits;
  } cases[] = {
      {"2024-01-31, 14:25:30", "202401313142530"},  // a Wednesday
      {"2023-12-31, 23:59:59", "202312310235959"},  // a Sunday
      {"2024-02-29, 00:00:00", "202402294000000"},  // leap year, a Thursday
      {"2000-02-29, 12:00:00", "200002292120000"},  // leap century
      {"20240106000000", "202401066000000"},        // the digits alone, a Saturday
      {"2024 01 31 14 25 30", "202401313142530"},
      {"1900-02-29, 00:00:00", std::nullopt},  // no leap day in 1900
      {"20240230100000", std::nullopt},
      {"2024-13-01, 00:00:00", std::nullopt},
      {"0000-01-01, 00:00:00", std::nullopt},
      {"2024013114253", std::nullopt},    // 13 digits
      {"202401311425300", std::nullopt},  // 15 digits
      {"20240131242530", std::nullopt},   // hour 24
      {"20240131146030", std::nullopt},   // minute 60
      {"20240131142560", std::nullopt},   // second 60
      {"2024-01-3a, 14:25:30", std::nullopt},
      {"2024.01.31, 14:25:30", std::nullopt},
      {"", std::nullopt},
      {kClockPlaceholder, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(TimeCommandDigits(c.text), c.digits) << c.text;
}

TEST_F(TerminalClockTest, ASetSendsTheTimeCommandOrNothingAndLogsEveryAttempt) {
  const struct {
    std::string text;
    std::string command;  // empty: nothing may be sent
    TClockSet result;
  } cases[] = {
      {"2024-01-31, 14:25:30", "TIME 202401313142530", TClockSet::Accepted},  // a Wednesday
      {"2023-12-31, 23:59:59", "TIME 202312310235959", TClockSet::Accepted},  // a Sunday
      {"20240230100000", "", TClockSet::Refused},
      {"2024O131142530", "", TClockSet::Refused},
  };
  Terminal(1, "Gate A");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    terminals.lines.clear();
    const auto logBefore = LogMessages().size();
    const TClockSetReport report = Set({"1", "Gate A"}, false, c.text);
    Strings expected;
    if (!c.command.empty()) expected.push_back("1:" + c.command);
    expected.push_back("1:TIME");  // the clock read back afterwards
    EXPECT_EQ(terminals.lines, expected);
    ASSERT_EQ(report.results.size(), 1u);
    EXPECT_EQ(report.results[0].result, c.result);
    EXPECT_EQ(report.lastClock, clocks[1].clock.substr(0, 8) + clocks[1].clock.substr(9));
    const Strings log = LogMessages();
    EXPECT_EQ(Strings(log.begin() + static_cast<long>(logBefore), log.end()),
              Strings{"Set DateTime 1 : " + c.text + "."});
  }
}

TEST_F(TerminalClockTest, SetTerminalTimeIsTrueOnlyForAnAnswerWithoutAQuestionMark) {
  const struct {
    std::string reply;  // empty: silence
    TClockSet result;
  } cases[] = {
      {"OK\r\n", TClockSet::Accepted},
      {"? FAIL\r\n", TClockSet::Failed},
      {"", TClockSet::Silent},
  };
  TClockTerminal& t = Terminal(1, "Gate A");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reply);
    t.setReply = c.reply;
    EXPECT_EQ(SendTerminalTime(dm->Link, "1", "2024-01-31, 14:25:30"), c.result);
    EXPECT_EQ(SetTerminalTime(dm->Link, "1", "2024-01-31, 14:25:30"), c.result == TClockSet::Accepted);
  }
  EXPECT_EQ(SetTerminalTime(dm->Link, "1", "20240230100000"), false);
  EXPECT_THROW(SendTerminalTime(dm->Link, "9", "2024-01-31, 14:25:30"), TUnknownTerminalError);
}

TEST_F(TerminalClockTest, AReadDropsTheDayOfWeekOrGivesThePlaceholder) {
  const struct {
    std::string address;
    std::string reply;  // the whole answer to "TIME"; empty: silence
    std::string clock;
  } cases[] = {
      {"1", "202401313142530\r\n", "20240131142530"},
      {"1", "202312310235959\r\n", "20231231235959"},
      {"1", "", kClockPlaceholder},
      {"1", "? FAIL\r\n", kClockPlaceholder},
      {"1", "2024013\r\n", kClockPlaceholder},
      {"9", "202401313142530\r\n", kClockPlaceholder},  // no such terminal
  };
  Terminal(1, "Gate A");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address + " " + c.reply);
    terminals.answer[1] = [&c](const std::string&) { return c.reply; };
    EXPECT_EQ(ReadTerminalTime(dm->Link, c.address), c.clock);
  }
}

TEST_F(TerminalClockTest, AllTerminalsInAddressOrderThenTheLastOnesClock) {
  Terminal(3, "Gate C").clock = "202401313000003";
  Terminal(1, "Gate A");
  Terminal(2, "Gate B");
  const TClockSetReport report = Set({"2", "Gate B"}, true, "2024-01-31, 14:25:30");
  EXPECT_EQ(terminals.lines, (Strings{"1:TIME 202401313142530", "2:TIME 202401313142530",
                                      "3:TIME 202401313142530", "3:TIME"}));
  EXPECT_EQ(shown, (Strings{"Gate A", "Gate B", "Gate C", "Gate B"}));
  EXPECT_EQ(report.lastClock, "20240131142530");
  EXPECT_EQ(LogMessages(),
            (Strings{"Set DateTime 1 : 2024-01-31, 14:25:30.", "Set DateTime 2 : 2024-01-31, 14:25:30.",
                     "Set DateTime 3 : 2024-01-31, 14:25:30."}));
  EXPECT_GE(ui.processed, 3) << "messages are let through before each terminal";
}

TEST_F(TerminalClockTest, AnErrorOrAStopEndsTheWalkWithTheCurrentLocationShown) {
  Terminal(1, "Gate A");
  Terminal(2, "Gate B");
  // The current terminal is no row of tTerminals: the link refuses it.
  EXPECT_THROW(Set({"7", "Old Gate"}, false, "2024-01-31, 14:25:30"), TUnknownTerminalError);
  EXPECT_EQ(shown, (Strings{"Old Gate", "Old Gate"}));
  EXPECT_TRUE(terminals.lines.empty());

  shown.clear();
  // The operator asks to stop while the first terminal is being set.
  dm->Link.StopRequested = [this] { return !terminals.lines.empty(); };
  const TClockSetReport report = Set({"2", "Gate B"}, true, "2024-01-31, 14:25:30");
  EXPECT_TRUE(report.stopped);
  EXPECT_EQ(terminals.lines, Strings{"1:TIME 202401313142530"});
  EXPECT_EQ(shown, (Strings{"Gate A", "Gate B"}));
  EXPECT_TRUE(report.lastClock.empty());
}

TEST_F(TerminalClockTest, SynchronisationSetsEveryTerminalToOnePcReading) {
  Terminal(2, "Gate B").setReply = "";  // silent: still logged, the walk goes on
  Terminal(1, "Gate A");
  Terminal(3, "Gate C");
  SynchronizeAllTerminals(Job());
  EXPECT_EQ(terminals.lines,
            (Strings{"1:TIME 202401313142530", "2:TIME 202401313142530", "3:TIME 202401313142530"}));
  EXPECT_EQ(LogMessages(),
            (Strings{"Synchronize Time", "Set DateTime 1 : 2024-01-31, 14:25:30.",
                     "Set DateTime 2 : 2024-01-31, 14:25:30.", "Set DateTime 3 : 2024-01-31, 14:25:30."}));

  // A database error ends it without a word.
  dm->ADOC.Execute("DROP TABLE tTerminals");
  terminals.lines.clear();
  EXPECT_NO_THROW(SynchronizeAllTerminals(Job()));
  EXPECT_TRUE(terminals.lines.empty());
  EXPECT_EQ(LogMessages().back(), "Synchronize Time");
}

}  // namespace
}  // namespace korvo
