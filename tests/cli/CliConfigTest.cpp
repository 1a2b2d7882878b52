// config read, write and default against simulated terminals: the file a read prints gives the
// terminal back its own values, the wire carries what the file says in the screen's order, and a
// refused file or a silent terminal never passes for a success.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

#include "SerialBus.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "cli/CliCommands.h"
#include "config/ParamCatalogue.h"
#include "config/ParamFile.h"
#include "config/ParamTable.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace korvo {
namespace {

using test::TTempFolder;
using Strings = std::vector<std::string>;

struct TRow {
  std::string address;
  std::string location;
  int port;
};

// A program folder with these terminal rows; COM7 is mapped to `device` when one is given.
void PrepareFolder(const TTempFolder& dir, const std::vector<TRow>& rows, const std::string& device = "") {
  if (!device.empty()) dir.Write("PORTS.CFG", "[Ports]\nCOM7=" + device + "\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TQuery q(program.Start().ADOC);
  for (const auto& r : rows)
    program.DM()->InsertRecord(q, "tTerminals",
                               {TextValue(r.address), TextValue("00" + r.address.substr(0, 1)),
                                TextValue(r.location), IntValue(r.port)},
                               {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  program.ShutDown();
}

struct TRun {
  int rc;
  std::string out;
  std::string err;
};

TRun Cli(const TTempFolder& dir, const Strings& args, const std::string& input = "") {
  Strings full{"--folder", dir.Path()};
  full.insert(full.end(), args.begin(), args.end());
  std::ostringstream out, err;
  std::istringstream in(input);
  const int rc = RunCli(full, out, err, false, &in);
  return {rc, out.str(), err.str()};
}

// Every value the parameter screen reads: the 55 parameters of its pages and the module values.
std::map<std::string, std::string> Values(const korvosim::Terminal& t) {
  std::map<std::string, std::string> values;
  for (int n : AllPageNumbers()) values["PAR " + std::to_string(n)] = t.param(n);
  for (int n : ModuleReadOrder) values["SFMPAR " + std::to_string(n)] = t.sfmParam(n);
  return values;
}

// One network terminal at 127.0.0.1, "Gate", with a few values away from the factory ones.
class CliConfigTcpTest : public ::testing::Test {
 protected:
  CliConfigTcpTest() {
    port = tcp.add(terminal);
    PrepareFolder(dir, {{"127.0.0.1", "Gate", port}});
    terminal->setParam(312, "Main gate");
    terminal->setParam(13, "4");
    terminal->setParam(211, "50331651");
    terminal->setParam(400, "#n #h:#m");
    terminal->setSfmParam(102, "7");
    terminal->setSfmParam(147, "3");
  }
  Strings Wire() const { return tcp.transcript().commands(); }

  korvosim::TcpFront tcp;
  std::shared_ptr<korvosim::Terminal> terminal = std::make_shared<korvosim::Terminal>();
  int port = 0;
  TTempFolder dir;
};

TEST_F(CliConfigTcpTest, AFileReadAndWrittenBackGivesTheTerminalItsOwnValues) {
  const auto before = Values(*terminal);
  const TRun read = Cli(dir, {"config", "read", "127.0.0.1"});
  ASSERT_EQ(read.rc, 0) << read.err;
  EXPECT_NE(read.out.find("# Location: Gate\n# Firmware version: KORVO2K/Bio Ver 2.00 OK\n"),
            std::string::npos)
      << read.out;
  const TParamFile file = ParseParamFile(read.out);
  ASSERT_EQ(file.params.size(), 55u);
  ASSERT_EQ(file.module.size(), 5u);

  Strings wire;  // the module values in their send order, the pages' values, RESTART
  for (int n : ModuleSendOrder) wire.push_back("SFMPAR " + std::to_string(n) + " " + terminal->sfmParam(n));
  for (int n : AllPageNumbers()) wire.push_back("PAR " + std::to_string(n) + " " + terminal->param(n));
  wire.push_back("RESTART");

  dir.Write("gate.txt", read.out);
  tcp.transcript().clear();
  const TRun write = Cli(dir, {"config", "write", "127.0.0.1", dir.File("gate.txt")});
  ASSERT_EQ(write.rc, 0) << write.err;
  EXPECT_EQ(Values(*terminal), before);
  EXPECT_EQ(Wire(), wire);
  EXPECT_EQ(terminal->restarts(), 1);

  // From the factory values the same file, now from stdin, brings every value back.
  terminal->resetParams();
  ASSERT_NE(Values(*terminal), before);
  const TRun again = Cli(dir, {"config", "write", "127.0.0.1", "-"}, read.out);
  ASSERT_EQ(again.rc, 0) << again.err;
  EXPECT_EQ(Values(*terminal), before);
}

TEST_F(CliConfigTcpTest, ChangedValuesReachTheTerminalInTheFilesOrder) {
  const std::string text =
      "# edited by hand\r\n"
      "[Inputs]\r\n"
      "309 Welcome, please enter\r\n"
      "SFMPAR 128 2\r\n"
      "[LCD]\r\n"
      "7 8\r\n"
      "SFMPAR 102 3\r\n";
  dir.Write("edit.txt", text);
  const TRun run = Cli(dir, {"config", "write", "127.0.0.1", dir.File("edit.txt")});
  ASSERT_EQ(run.rc, 0) << run.err;
  EXPECT_EQ(Wire(),
            (Strings{"SFMPAR 102 3", "SFMPAR 128 2", "PAR 309 Welcome, please enter", "PAR 7 8", "RESTART"}));
  EXPECT_EQ(terminal->param(309), "Welcome, please enter");
  EXPECT_EQ(terminal->param(7), "8");
  EXPECT_EQ(terminal->sfmParam(102), "3");
  EXPECT_EQ(terminal->sfmParam(128), "2");
}

TEST_F(CliConfigTcpTest, OnePageIsReadAloneAndAPageWithoutValuesIsNoAnswer) {
  const TRun lcd = Cli(dir, {"config", "read", "127.0.0.1", "--page", "lcd"});
  ASSERT_EQ(lcd.rc, 0) << lcd.err;
  const TParamFile file = ParseParamFile(lcd.out);
  ASSERT_EQ(file.params.size(), PageNumbers(1).size());
  EXPECT_EQ(file.params.front(), (TParamFileValue{2, "1"}));
  EXPECT_EQ(file.params[4], (TParamFileValue{301, "F1"}));
  EXPECT_EQ(file.module.size(), 5u);
  Strings reads;
  for (const auto& c : Wire())
    if (c.starts_with("PAR ")) reads.push_back(c);
  EXPECT_EQ(reads.size(), PageNumbers(1).size()) << "only the LCD page is read";

  // A terminal that gives none of the Other page's values: the page says so and the read fails.
  for (const char* n : {"29", "16"})
    terminal->addReplyOverride({.match = std::string("PAR ") + n,
                                .kind = korvosim::ReplyOverride::Kind::Text,
                                .text = std::string("PAR ") + n + " ="});
  const TRun all = Cli(dir, {"config", "read", "127.0.0.1"});
  EXPECT_EQ(all.rc, 1);
  EXPECT_NE(all.out.find("[Other]\n# no answer\n\n[Fingerprint module]"), std::string::npos) << all.out;
  EXPECT_NE(all.err.find("error: no answer on the page Other\n"), std::string::npos) << all.err;
  EXPECT_EQ(ParseParamFile(all.out).params.size(), 53u);
}

TEST_F(CliConfigTcpTest, ARefusedFileSendsNothingAndExitsTwo) {
  const struct {
    const char* name;
    std::string text;
    std::string errPart;
  } cases[] = {
      {"number out of range", "7 6\n# fine so far\n505 1\n",
       " line 3: parameter number 505 is outside 1 to 504\n"},
      {"twice", "7 6\r\n7 8\r\n", " line 2: parameter 7 is given twice (first on line 1)\n"},
      {"no value at all", "# nothing\n[LCD]\n", " holds no value\n"},
  };
  for (const auto& c : cases) {
    dir.Write("bad.txt", c.text);
    const TRun run = Cli(dir, {"config", "write", "127.0.0.1", dir.File("bad.txt"), "--all-terminals"});
    EXPECT_EQ(run.rc, 2) << c.name;
    EXPECT_NE(run.err.find(c.errPart), std::string::npos) << c.name << '\n' << run.err;
    EXPECT_NE(run.err.find("Nothing was sent.\n"), std::string::npos) << c.name;
  }
  const TRun missing = Cli(dir, {"config", "write", "127.0.0.1", dir.File("none.txt")});
  EXPECT_EQ(missing.rc, 2);
  EXPECT_EQ(Wire(), Strings{});
  EXPECT_EQ(terminal->restarts(), 0);
}

// Every value against the catalogue is checked in the config tests; here the command's output.
TEST(CliConfig, TheFactoryFileParsesBackToTheDefaultValues) {
  TTempFolder dir;
  const TRun run = Cli(dir, {"config", "default"});
  ASSERT_EQ(run.rc, 0) << run.err;
  const TParamFile file = ParseParamFile(run.out);
  std::map<int, std::string> values;
  for (const auto& v : file.params) values[v.number] = v.value;
  EXPECT_EQ(values.size(), 49u);
  EXPECT_EQ(values.count(210), 0u) << "a Send after Default takes 210 from the last read";
  EXPECT_EQ(values[216], "10");
  EXPECT_EQ(values[309], "Open the Door!");
  ASSERT_FALSE(file.module.empty());
  EXPECT_EQ(file.module.front(), (TParamFileValue{102, "5"}));
}

// Three terminals on one bus: the PAR lines and RESTART go to the highest address first, the module
// values to the terminal named only. Every terminal answers framed lines alone, so that the plain
// lines (which carry no address) cannot be answered by the wrong one.
TEST(CliConfig, EveryTerminalGetsTheParametersHighestAddressFirst) {
  korvosim::SerialBus bus;
  std::map<int, std::shared_ptr<korvosim::Terminal>> terminals;
  for (int a : {1, 2, 3})
    terminals[a] = bus.attach(a, std::make_shared<korvosim::Terminal>(), korvosim::BusMode::FramedOnly);
  TTempFolder dir;
  PrepareFolder(dir, {{"1", "Hall", 7}, {"2", "Gate", 7}, {"3", "Yard", 7}}, bus.slavePath());
  dir.Write("two.txt", "SFMPAR 129 3\n309 Hello all\n7 9\n");
  const TRun run = Cli(dir, {"config", "write", "2", dir.File("two.txt"), "--all-terminals"});
  ASSERT_EQ(run.rc, 0) << run.err;
  std::vector<std::pair<int, std::string>> wire;
  for (const auto& e : bus.transcript().entries())
    if (e.channel == korvosim::Channel::Framed && e.text != "5A") wire.emplace_back(e.where, e.text);
  const std::vector<std::pair<int, std::string>> expected = {
      {2, "SFMPAR 129 3"}, {3, "PAR 309 Hello all"}, {3, "PAR 7 9"},
      {3, "RESTART"},      {2, "PAR 309 Hello all"}, {2, "PAR 7 9"},
      {2, "RESTART"},      {1, "PAR 309 Hello all"}, {1, "PAR 7 9"},
      {1, "RESTART"}};
  EXPECT_EQ(wire, expected);
  for (int a : {1, 2, 3}) {
    EXPECT_EQ(terminals[a]->param(309), "Hello all") << a;
    EXPECT_EQ(terminals[a]->sfmParam(129), a == 2 ? "3" : "1") << a;
  }
}

TEST(CliConfig, ASilentTerminalOrARefusedProbeFailsTheRead) {
  const struct {
    const char* name;
    bool silent;
  } cases[] = {{"silent", true}, {"probe answered", false}};
  for (const auto& c : cases) {
    korvosim::SerialBus bus;
    auto terminal =
        bus.attach(1, std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = "5"}));
    if (c.silent)
      bus.setFaults(1, korvosim::Faults{.silent = true});
    else
      terminal->setBlankReply("READY");
    TTempFolder dir;
    PrepareFolder(dir, {{"1@5", "Gate", 7}}, bus.slavePath());
    const TRun run = Cli(dir, {"config", "read", "1@5", "--page", "Other"});
    EXPECT_EQ(run.rc, 1) << c.name;
    EXPECT_EQ(run.out, "") << c.name;
    EXPECT_NE(run.err.find("error: Can't access to Gate\n"), std::string::npos) << c.name << '\n' << run.err;
  }
}

TEST(CliConfig, AWriteToASilentTerminalFails) {
  korvosim::SerialBus bus;  // nobody is attached
  TTempFolder dir;
  PrepareFolder(dir, {{"1@5", "Gate", 7}}, bus.slavePath());
  dir.Write("one.txt", "7 6\n");
  const TRun run = Cli(dir, {"config", "write", "1@5", dir.File("one.txt")});
  EXPECT_EQ(run.rc, 1);
  EXPECT_NE(run.err.find("error: no answer from the terminal 1@5\n"), std::string::npos) << run.err;
  Strings sent;
  for (const auto& c : bus.transcript().commands())
    if (!c.starts_with("SETLOGON")) sent.push_back(c);
  EXPECT_EQ(sent, (Strings{"PAR 7 6", "RESTART"})) << "the restart is still sent";
}

}  // namespace
}  // namespace korvo
