// What the front end says and returns when a terminal does not answer, cannot be reached or is not
// known: a non-zero exit and a line on stderr, never a silent success.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "SerialBus.h"
#include "cli/CliCommands.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;
using Strings = std::vector<std::string>;

// A program folder with one terminal row; COM7 is mapped to `device`. A logon code keeps the serial
// line to plain exchanges, so silence is recognised without ten framed attempts.
void PrepareFolder(const TTempFolder& dir, const std::string& device, const std::string& address = "1@5") {
  dir.Write("PORTS.CFG", "[Ports]\nCOM7=" + device + "\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TQuery q(program.Start().ADOC);
  program.DM()->InsertRecord(q, "tTerminals",
                             {TextValue(address), TextValue("007"), TextValue("Gate"), IntValue(7)},
                             {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  program.ShutDown();
}

struct TFailureCase {
  std::string name;
  bool portOpens;  // COM7 is the silent bus, or a device that does not exist
  Strings args;
  std::string out;
  Strings errParts;
};

TEST(CliTerminal, SilenceRefusalAndUnopenablePortsExitOne) {
  const std::vector<TFailureCase> cases = {
      {"silent terminal",
       true,
       {"send", "1@5", "GETVER"},
       "--<CR>\n",
       {"error: no answer from the terminal 1@5\n"}},
      {"silent on every line",
       true,
       {"send", "1@5", "GETVER\\rDIR TRANS"},
       "--<CR>\n--<CR>\n",
       {"error: no answer from the terminal 1@5\n"}},
      {"parameters of a silent terminal",
       true,
       {"params", "1@5", "30", "7"},
       "30 -- no answer\n7 -- no answer\n",
       {"error: no answer from the terminal 1@5\n"}},
      {"progress line closed before the verdict",
       true,
       {"--progress", "send", "1@5", "ADDREC X"},
       "--<CR>\n",
       {"\r[  1%] 1/100\nerror: no answer from the terminal 1@5\n"}},
      {"unknown address", true, {"send", "9", "GETVER"}, "", {"error: No terminal has the address 9.\n"}},
      {"port that cannot be opened",
       false,
       {"send", "1@5", "GETVER"},
       "--<CR>\n",
       {"question: Error opening COM7: ", "/no/such/tty: No such file or directory", " -> Abort\n",
        "error: no answer from the terminal 1@5\n"}},
  };
  korvosim::SerialBus bus;  // nobody is attached: every command goes unanswered
  for (const auto& c : cases) {
    TTempFolder dir;
    PrepareFolder(dir, c.portOpens ? bus.slavePath() : "/no/such/tty");
    Strings args{"--folder", dir.Path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(args, out, err), 1) << c.name << '\n' << err.str();
    EXPECT_EQ(out.str(), c.out) << c.name;
    for (const auto& part : c.errParts)
      EXPECT_NE(err.str().find(part), std::string::npos) << c.name << ": " << part << " in\n" << err.str();
  }
}

TEST(CliTerminal, AnsweredParametersKeepTheirForm) {
  korvosim::SerialBus bus;
  bus.attach(1);
  TTempFolder dir;
  PrepareFolder(dir, bus.slavePath(), "1");
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "params", "1", "30", "7"}, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "30=0\n7=6\n") << "answered values keep the N=value form";
  EXPECT_EQ(err.str().find("no answer"), std::string::npos) << err.str();
}

TEST(CliTerminal, ANewDatabaseIsAnnouncedOnceOnStderr) {
  TTempFolder dir;
  std::ostringstream out1, err1, out2, err2;
  ASSERT_EQ(RunCli({"--folder", dir.Path(), "status"}, out1, err1), 0) << err1.str();
  ASSERT_EQ(RunCli({"--folder", dir.Path(), "status"}, out2, err2), 0) << err2.str();
  const std::string line = "New database created : " + dir.Path() +
                           "Korvoweb.mdb. Log in as Administrator with "
                           "the password admin and change it before going into service.\n";
  EXPECT_NE(err1.str().find(line), std::string::npos) << err1.str();
  EXPECT_EQ(err2.str().find("New database created"), std::string::npos) << err2.str();
  EXPECT_EQ(out1.str(), out2.str()) << "the announcement stays off stdout";
}

}  // namespace
}  // namespace korvo
