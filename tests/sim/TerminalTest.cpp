#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Terminal.h"
#include "TestSupport.h"

using namespace korvosim;
using simtest::contains;
using simtest::words;

namespace {

struct TerminalTest : ::testing::Test {
  Terminal terminal;
  SessionState session;
  std::string run(const std::string& line, Transport transport = Transport::Tcp) {
    return terminal.execute(line, session, transport).text;
  }
};

TEST_F(TerminalTest, ParameterReadGivesValueAsFourthTokenWithoutCompletionToken) {
  EXPECT_EQ(run("PAR 7"), "PAR 7 = 6\r\n");
  EXPECT_EQ(run("PAR 201"), "PAR 201 = 192.168.1.207\r\n");
  EXPECT_EQ(run("PAR 313"), "PAR 313 = 0200130021002300\r\n");
  EXPECT_EQ(run("PAR 400"), "PAR 400 = #w #n #D/#M/#C#Y #h:#m:#s#E\r\n");
  EXPECT_EQ(run("PAR 499"), "PAR 499 = 0\r\n");  // not in the catalogue
  // A value with blanks is kept whole and read back after "=".
  EXPECT_EQ(run("PAR 309 Open the Door!"), "OK\r\n");
  EXPECT_EQ(terminal.param(309), "Open the Door!");
  auto w = words(run("PAR 309"));
  ASSERT_EQ(w.size(), 6u);
  EXPECT_EQ(w[3] + " " + w[4] + " " + w[5], "Open the Door!");
  // A trailing blank alone reads; it does not clear the value.
  EXPECT_EQ(run("PAR 309 "), "PAR 309 = Open the Door!\r\n");
}

// Every factory value (those of the parameter screen among them), and values an operator may type,
// come back from "PAR n" exactly as "PAR n value" set them.
TEST_F(TerminalTest, EveryValueIsReadBackAsWritten) {
  std::vector<std::pair<int, std::string>> values = {{309, "Welcome, please enter"},
                                                     {312, "Hello  two"},
                                                     {400, std::string(35, '#') + std::string(35, 'n')}};
  for (int n = ParameterTable::kFirst; n <= ParameterTable::kLast; ++n)
    values.emplace_back(n, ParameterTable::factoryValue(n));
  for (const auto& [n, value] : values) {
    const std::string par = "PAR " + std::to_string(n);
    terminal.setParam(n, "x");
    EXPECT_EQ(run(par + " " + value), "OK\r\n") << par;
    EXPECT_EQ(run(par), par + " = " + value + "\r\n") << par;
  }
  for (int n : {102, 144, 129, 147, 128}) {
    const std::string sfm = "SFMPAR " + std::to_string(n), value = ParameterTable::factorySfmValue(n);
    terminal.setSfmParam(n, "x");
    EXPECT_EQ(run(sfm + " " + value), "OK\r\n") << sfm;
    EXPECT_EQ(run(sfm), value + "\r\n") << sfm;
  }
}

TEST_F(TerminalTest, ParameterNumbersOutsideTheCatalogueFail) {
  EXPECT_EQ(run("PAR 0"), "FAIL\r\n");
  EXPECT_EQ(run("PAR 505 1"), "FAIL\r\n");
  EXPECT_EQ(run("PAR x"), "? FAIL\r\n");
  EXPECT_EQ(terminal.param(505), "");
}

TEST_F(TerminalTest, FingerprintModuleValuesAreBareNumbers) {
  EXPECT_EQ(run("SFMPAR 102"), "5\r\n");
  EXPECT_EQ(run("SFMPAR 144"), "0\r\n");
  EXPECT_EQ(run("SFMPAR 129"), "1\r\n");
  EXPECT_EQ(run("SFMPAR 147"), "6\r\n");
  EXPECT_EQ(run("SFMPAR 128"), "7\r\n");
  EXPECT_EQ(run("SFMPAR 102 7"), "OK\r\n");
  EXPECT_EQ(run("SFMPAR 102"), "7\r\n");
  EXPECT_EQ(terminal.sfmParam(102), "7");
}

TEST_F(TerminalTest, ListParListsEveryParameterAndOnlyTheEndMarkIsAToken) {
  const std::string text = run("LISTPAR");
  const auto w = words(text);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(w.back(), "*");
  EXPECT_EQ(std::count(w.begin(), w.end(), "PAR"), 504);
  EXPECT_TRUE(contains(text, "PAR 7 6\r\n"));
  const std::string body = text.substr(0, text.size() - 3);
  for (const char* token : {"OK", "FAIL", "Record", "*"}) EXPECT_FALSE(contains(body, token)) << token;
}

TEST_F(TerminalTest, VersionCarriesTheProductWordAndEndsOk) {
  const std::string v = run("GETVER");
  EXPECT_TRUE(contains(v, "KORVO"));
  EXPECT_EQ(v.substr(v.size() - 4), "OK\r\n");
  EXPECT_EQ(run("getver"), v);  // command words in any case
}

TEST_F(TerminalTest, TimeSetsAndAnswersTheSameFifteenDigits) {
  terminal.freezeClock(true);
  EXPECT_EQ(run("TIME 202401313142530"), "OK\r\n");
  EXPECT_EQ(run("TIME"), "202401313142530\r\n");
  // An impossible date is refused with a "?" and leaves the clock alone.
  EXPECT_TRUE(contains(run("TIME 202402303100000"), "?"));
  EXPECT_TRUE(contains(run("TIME 2024013131425"), "?"));
  EXPECT_EQ(terminal.clockText(), "202401313142530");
  // The weekday digit follows the date when the clock is set directly.
  terminal.setClock({2023, 12, 31, 23, 59, 59});
  EXPECT_EQ(run("TIME"), "202312310235959\r\n");
}

TEST_F(TerminalTest, GivenWeekdayDigitIsKept) {
  terminal.freezeClock(true);
  EXPECT_TRUE(terminal.setClockText("202401315235959"));  // the 31st was a Wednesday (3)
  EXPECT_EQ(run("TIME"), "202401315235959\r\n");
}

TEST_F(TerminalTest, BlankLineAnswersTheNoAnswerMarkOrNothing) {
  EXPECT_EQ(run(" "), "--\r\n");
  EXPECT_EQ(run(""), "--\r\n");
  terminal.setBlankReply(std::nullopt);
  EXPECT_EQ(run(" "), "");
}

TEST_F(TerminalTest, UnknownCommandFailsWithQuestionMark) {
  EXPECT_EQ(run("FROBNICATE"), "? FAIL\r\n");
}

TEST_F(TerminalTest, LogonCodeRefusesCommandsUntilTheRightSetLogon) {
  terminal.setLogonCode("4711");
  EXPECT_EQ(run("GETVER"), "FAIL\r\n");
  EXPECT_EQ(run("PAR 7 9"), "FAIL\r\n");
  EXPECT_EQ(terminal.param(7), "6");
  EXPECT_TRUE(contains(run("DIR TRANS"), "*"));  // listings still end so a listing reader stops
  EXPECT_EQ(run("SETLOGON 1234"), "FAIL\r\n");
  EXPECT_EQ(run("GETVER"), "FAIL\r\n");
  EXPECT_EQ(run("SETLOGON 4711"), "OK\r\n");
  EXPECT_TRUE(contains(run("GETVER"), "KORVO"));
  EXPECT_EQ(run("SETLOGON 0"), "OK\r\n");
  EXPECT_EQ(run("GETVER"), "FAIL\r\n");
  // Another conversation has its own logon.
  SessionState other;
  EXPECT_EQ(terminal.execute("GETVER", other, Transport::Tcp).text, "FAIL\r\n");
}

TEST_F(TerminalTest, WithoutLogonCodeSetLogonIsAccepted) {
  EXPECT_EQ(run("SETLOGON 0"), "OK\r\n");
  EXPECT_EQ(run("SETLOGON 99"), "OK\r\n");
}

TEST_F(TerminalTest, TemplatesAreSavedListedCheckedFetchedAndDeleted) {
  std::string bytes(384, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  EXPECT_EQ(run("TYPE TMPTABLE"), "TMPTABLE NOT FOUND ?*\r\n");
  EXPECT_EQ(run("TMPSAVE 1234"), "OK\r\n");
  EXPECT_TRUE(terminal.awaitingTemplate());
  EXPECT_EQ(terminal.storeTemplate(bytes).text, "OK\r\n");
  EXPECT_FALSE(terminal.awaitingTemplate());
  EXPECT_EQ(run("TMPSAVE 1234"), "OK\r\n");
  EXPECT_EQ(terminal.storeTemplate("short").text, "OK\r\n");
  EXPECT_EQ(run("TMPSAVE 1234"), "FAIL\r\n");  // both fingers taken
  EXPECT_EQ(run("FINGERS"), "2\r\n");
  EXPECT_EQ(run("CHKTEMP 1234"), "3\r\n");  // one bit a finger
  EXPECT_EQ(run("CHKTEMP 99"), "0\r\n");
  EXPECT_EQ(run("TYPE TMPTABLE"), "1234:0\r\n1234:1\r\n*\r\n");

  const Reply tcp = terminal.execute("TMPDATA 1234 0", session, Transport::Tcp);
  EXPECT_EQ(tcp.text, bytes);
  const Reply second = terminal.execute("TMPDATA 1234 1", session, Transport::Tcp);
  ASSERT_EQ(second.text.size(), 384u);  // a short template is filled to the block size
  EXPECT_EQ(second.text.substr(0, 5), "short");
  EXPECT_EQ(second.text[5], '\0');
  const Reply serial = terminal.execute("TMPDATA 1234 0", session, Transport::Serial);
  EXPECT_EQ(serial.text, bytes + "*\r\n");
  EXPECT_EQ(run("TMPDATA 99 0"), "FAIL\r\n");

  EXPECT_EQ(run("DELTEMP 1234"), "OK\r\n");
  EXPECT_EQ(run("DELTEMP 1234"), "FAIL\r\n");
  EXPECT_EQ(run("FINGERS"), "0\r\n");
}

TEST_F(TerminalTest, ChkTempTellsTheFingersAndRefusedBytesAreNotStored) {
  terminal.setTemplate("11", 0, "a");
  terminal.setTemplate("22", 1, "b");
  const std::vector<std::pair<std::string, std::string>> checks = {
      {"CHKTEMP 11", "1\r\n"}, {"CHKTEMP 22", "2\r\n"}, {"CHKTEMP 33", "0\r\n"}};
  for (const auto& [command, reply] : checks) EXPECT_EQ(run(command), reply) << command;

  terminal.refuseTemplateBytes("33", 1);
  EXPECT_EQ(run("TMPSAVE 33"), "OK\r\n");
  EXPECT_EQ(terminal.storeTemplate("refused").text, "FAIL\r\n");
  EXPECT_FALSE(terminal.awaitingTemplate());
  EXPECT_FALSE(terminal.templateBytes("33", 0));
  EXPECT_EQ(run("TMPSAVE 33"), "OK\r\n");  // refused once only
  EXPECT_EQ(terminal.storeTemplate("taken").text, "OK\r\n");
  EXPECT_EQ(terminal.templateBytes("33", 0), "taken");

  TerminalOptions options;
  options.refusedTemplateCards = {"44"};
  Terminal refusing(options);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(refusing.execute("TMPSAVE 44", session, Transport::Tcp).text, "OK\r\n");
    EXPECT_EQ(refusing.storeTemplate("x").text, "FAIL\r\n");
  }
  EXPECT_TRUE(refusing.templates().empty());
}

TEST_F(TerminalTest, RestartUnlocksAndAbandonsALoadThatNeverEnded) {
  EXPECT_EQ(run("LOCKSYS"), "OK\r\n");
  EXPECT_TRUE(terminal.locked());
  EXPECT_EQ(run("LOAD SYSTEM\\HOLITBL.DAT"), "OK\r\n");
  EXPECT_EQ(run("0101"), "Record\r\n");
  EXPECT_EQ(run("GETVER"), "Record\r\n");  // anything else is a record while loading
  EXPECT_EQ(run("RESTART"), "OK\r\n");
  EXPECT_EQ(terminal.restarts(), 1);
  EXPECT_FALSE(terminal.locked());
  EXPECT_FALSE(terminal.loading());
  EXPECT_EQ(terminal.file("SYSTEM\\HOLITBL.DAT"), (std::vector<std::string>{"0101", "GETVER"}));
  EXPECT_TRUE(contains(run("GETVER"), "KORVO"));
}

TEST_F(TerminalTest, SystemLogIsOneLineOfDatedEntriesClosedByTheCount) {
  terminal.freezeClock(true);
  terminal.setClock({2024, 1, 31, 14, 25, 30});
  EXPECT_EQ(run("SYSLOGDAT"), "0 Records\r\n");
  run("LOCKSYS");
  run("UNLOCKSYS");
  EXPECT_EQ(run("SYSLOGDAT"), "31/01/24 14:25:30 LOCKSYS 31/01/24 14:25:30 UNLOCKSYS 2 Records\r\n");
  EXPECT_EQ(run("DELFILE SYSLOGDAT"), "OK\r\n");
  EXPECT_EQ(run("SYSLOGDAT"), "0 Records\r\n");
}

}  // namespace
