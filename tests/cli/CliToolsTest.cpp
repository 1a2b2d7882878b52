// The terminal utilities on the command line against the simulated serial bus: a terminal added from
// an empty folder, then talked to; the console; the system information.
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "SerialBus.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "cli/LineEditor.h"
#include "support/LogMessages.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;
using Strings = std::vector<std::string>;

struct TRun {
  int rc;
  std::string out, err;
};

class CliTools : public ::testing::Test {
 protected:
  CliTools() { dir.Write("PORTS.CFG", "[Ports]\nCOM7=" + bus.slavePath() + "\n"); }
  TRun Run(Strings args, const std::string& input = "") {
    args.insert(args.begin(), {"--folder", dir.Path()});
    std::ostringstream out, err;
    std::istringstream in(input);
    const int rc = RunCli(args, out, err, false, &in);
    return {rc, out.str(), err.str()};
  }
  korvosim::SerialBus bus;
  TTempFolder dir;
};

TEST_F(CliTools, TerminalsAreKeptByTheWindowsRules) {
  struct TStep {
    Strings args;
    int rc;
    std::string out, err;  // err: a part of it
  };
  const std::vector<TStep> steps = {
      {{"terminals", "add", "1", "--termno", "001", "--location", "Gate", "--port", "7"}, 0, "", ""},
      {{"terminals", "add", "1"}, 1, "", "error: the terminal 1 is stored already: use terminals edit\n"},
      {{"terminals", "add", "2", "--location", "Gate"},
       0,
       "",
       "warning: The location Gate of the terminal 2 is also the location of the terminal 1"},
      {{"terminals", "add", "3", "--termno", "1234"},
       1,
       "",
       "error: The terminal number 1234 is longer than 3"},
      {{"terminals", "add", "3", "--port", "COM1"}, 1, "", "error: The port COM1 is no whole number."},
      {{"terminals", "edit", "2", "--address", "5", "--location", "Hall"}, 0, "", ""},
      {{"terminals", "edit", "9", "--location", "Hall"}, 1, "", "error: no terminal has the address 9\n"},
      {{"terminals", "add", "6"}, 0, "", "warning: The terminal 6 has no location"},
      {{"terminals", "remove", "6"}, 0, "Delete record? [y/N] Nothing removed.\n", ""},
      {{"terminals", "remove", "6", "--yes"}, 0, "", ""},
      {{"terminals", "list"}, 0, "1\t001\tGate\t7\n5\t\tHall\t0\n", ""},
  };
  for (const auto& s : steps) {
    const TRun r = Run(s.args);
    const std::string what = s.args[1] + " " + s.args[2 % s.args.size()];
    EXPECT_EQ(r.rc, s.rc) << what << '\n' << r.err;
    EXPECT_EQ(r.out, s.out) << what;
    EXPECT_NE(r.err.find(s.err), std::string::npos) << what << '\n' << r.err;
  }
}

TEST_F(CliTools, AnAddedTerminalAnswersAtOnce) {
  bus.attach(1)->setVersion("korvo2k/bio Ver 2.00");
  ASSERT_EQ(Run({"terminals", "add", "1", "--location", "Gate", "--port", "7"}).rc, 0);
  const TRun send = Run({"send", "1", "GETVER"});
  EXPECT_EQ(send.rc, 0) << send.err;
  EXPECT_NE(send.out.find("korvo2k/bio Ver 2.00 OK"), std::string::npos) << send.out;
  const TRun test = Run({"terminals", "test", "1"});
  EXPECT_EQ(test.rc, 0) << test.err;
  EXPECT_EQ(test.out, "Communication OK\n");

  ASSERT_EQ(Run({"terminals", "add", "2", "--location", "Hall", "--port", "7"}).rc, 0);
  const TRun silent = Run({"terminals", "test", "2@1"});
  EXPECT_EQ(silent.rc, 1);
  EXPECT_NE(silent.err.find("No terminal has the address 2@1"), std::string::npos) << silent.err;
}

TEST_F(CliTools, ConsoleLaysOutRepliesAndGuardsDeleteAll) {
  auto terminal = bus.attach(1);
  terminal->setFile("SYSTEM\\AXGROUP.DAT", {"1"});
  ASSERT_EQ(Run({"terminals", "add", "1", "--location", "Gate", "--port", "7"}).rc, 0);
  const TRun r = Run({"console", "1"},
                     "getver\nkravomelitusandorapexiquintalobernyst\nn\n"
                     "KRAVOMELITUSANDORAPEXIQUINTALOBERNYST\nyes\n");
  EXPECT_EQ(r.rc, 0) << r.err;
  std::istringstream lines(r.out);
  Strings shown;
  for (std::string l; std::getline(lines, l);) shown.push_back(l);
  ASSERT_EQ(shown.size(), 3u) << r.out;
  EXPECT_EQ(shown[0].substr(0, 23), "KORVO2K/Bio Ver 2.00 OK");
  EXPECT_EQ(shown[1], "") << "No leaves one empty line";
  EXPECT_EQ(shown[2].substr(0, 5), "Used ");
  EXPECT_FALSE(terminal->hasFile("SYSTEM\\AXGROUP.DAT"));
  EXPECT_NE(r.err.find("All data will be lost, are you sure to delete all file ? [y/N]"), std::string::npos);
  std::string logName;
  for (const auto& f : std::filesystem::directory_iterator(dir.Path()))
    if (f.path().filename().string().rfind("LOG_", 0) == 0) logName = f.path().filename().string();
  const Strings log = test::LogMessages(dir.Read(logName));
  EXPECT_EQ(std::count(log.begin(), log.end(), "Direct Command : Delete all table on terminal."), 1);
}

TEST_F(CliTools, SysInfoOfATerminal) {
  bus.attach(1);
  ASSERT_EQ(Run({"terminals", "add", "1", "--location", "Gate", "--port", "7"}).rc, 0);
  const TRun r = Run({"sysinfo", "1"});
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("System Path : " + dir.Path() + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nAddress : 1\nBuffer : 0 Record\nFingerprints Enrolled : 0 Record\nCardholders : 0 "
                       "Record\nActivities : 0 Record\nTemplate in Database : 0 Record\n"),
            std::string::npos)
      << r.out;

  // A bus where nobody answers on COM8; a logon code keeps it to plain exchanges, without framed retries.
  korvosim::SerialBus quiet;
  dir.Write("PORTS.CFG", "[Ports]\nCOM7=" + bus.slavePath() + "\nCOM8=" + quiet.slavePath() + "\n");
  ASSERT_EQ(Run({"terminals", "add", "2@5", "--location", "Hall", "--port", "8"}).rc, 0);
  const TRun silent = Run({"sysinfo", "2@5"});
  EXPECT_EQ(silent.rc, 1);
  EXPECT_NE(silent.out.find("\nFingerprints Enrolled : -- Record\n"), std::string::npos) << silent.out;
  EXPECT_NE(silent.err.find("error: no answer from the terminal 2@5\n"), std::string::npos) << silent.err;
}

TEST(LineEditor, KeysEditTheLine) {
  const Strings history = {"GETVER", "DIR TRANS"};
  struct TCase {
    std::string keys;
    std::string text;
    std::size_t cursor;
  };
  const std::vector<TCase> cases = {
      {"abc\x02\x02X", "aXbc", 2},
      {"abc\x1b[D\x1b[D\x7f", "bc", 0},
      {"abc\x01\x1b[3~", "bc", 0},
      {"ab\x1b[A", "DIR TRANS", 9},
      {"ab\x1b[A\x1b[A\x1b[A\x1b[B\x1b[B", "ab", 2},
      {"x\x18", "LAST", 4},
      {"abc\x02\x15", "c", 0},
      {"\xc3\xa9t\x1b[D\x1b[D\x1b[C\x7f", "t", 0},
  };
  for (const auto& c : cases) {
    TLineEditor e(history, [] { return std::string("LAST"); });
    for (char k : c.keys) EXPECT_EQ(e.Feed(k), TLineEditor::TState::Editing) << c.keys;
    EXPECT_EQ(e.Text(), c.text) << c.keys;
    EXPECT_EQ(e.Cursor(), c.cursor) << c.keys;
    EXPECT_EQ(e.Feed('\r'), TLineEditor::TState::Done);
  }
  TLineEditor e(history, {});
  EXPECT_EQ(e.Feed('\x04'), TLineEditor::TState::EndOfInput);
  e.Feed('a');
  e.Feed('b');
  e.Feed('\x02');
  EXPECT_EQ(e.Render("> "), "\r> ab\x1b[K\x1b[1D");
  EXPECT_EQ(e.Feed('\x03'), TLineEditor::TState::Cancelled);
  EXPECT_EQ(e.Text(), "");
}

TEST(LineEditor, ReadsATerminalInRawModeAndRestoresIt) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  // The keys arrive before the editor reads them: a terminal already raw takes them as they are.
  termios before{};
  ASSERT_EQ(tcgetattr(slave, &before), 0);
  before.c_lflag &= ~static_cast<tcflag_t>(ICANON | ISIG);
  before.c_lflag |= ECHO;
  ASSERT_EQ(tcsetattr(slave, TCSANOW, &before), 0);
  const std::string typed = "ab\x1b[Dc\r\x04";
  ASSERT_EQ(write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  std::ostringstream drawn;
  EXPECT_EQ(ReadEditedLine(slave, drawn, "> ", {}, {}).value_or("<none>"), "acb");
  EXPECT_NE(drawn.str().find("\r> acb\x1b[K\x1b[1D"), std::string::npos);
  termios mode{};
  ASSERT_EQ(tcgetattr(slave, &mode), 0);
  EXPECT_EQ(mode.c_lflag, before.c_lflag) << "the mode it found is back";
  EXPECT_FALSE(ReadEditedLine(slave, drawn, "> ", {}, {})) << "Ctrl+D on an empty line ends the input";
  close(master);
  close(slave);
}

}  // namespace
}  // namespace korvo
