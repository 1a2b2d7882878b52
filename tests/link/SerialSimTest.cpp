// The serial line against the terminal simulator on a pseudo-terminal: real termios, real bytes,
// real time.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>

#include "Faults.h"
#include "SerialBus.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "cli/CliCommands.h"
#include "link/CommandText.h"
#include "link/ReplyTokens.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using test::TRecordingUi;
using test::TTempFolder;
using Strings = std::vector<std::string>;

void AddTerminal(TDM& dm, const std::string& address, int port) {
  TQuery q(dm.ADOC);
  dm.InsertRecord(q, "tTerminals", {TextValue(address), TextValue("001"), TextValue("Door"), IntValue(port)},
                  {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
}

// The PC's program folder maps COM1 to the simulated bus.
struct SerialSim : ::testing::Test {
  korvosim::SerialBus bus;
  TTempFolder dir;
  TRealClock clock;
  TRecordingUi ui;
  std::unique_ptr<TProgram> program;
  TDM* dm = nullptr;

  void SetUp() override {
    dir.Write("PORTS.CFG", "[Ports]\r\nCOM1=" + bus.slavePath() + "\r\n");
    program = std::make_unique<TProgram>(dir.Path(), clock, ui);
    dm = &test::StartProgram(*program);
    ui.calls.clear();  // start-up's own notices
  }
  void TearDown() override { program->ShutDown(); }

  Strings Commands(korvosim::Channel channel) const {
    Strings out;
    for (const auto& e : bus.transcript().entries())
      if (e.channel == channel) out.push_back(e.text);
    return out;
  }
};

TEST_F(SerialSim, TheIdentityCheckPassesOnThePlainLine) {
  bus.attach(1);
  AddTerminal(*dm, "1", 1);
  std::string reply = dm->SendCommand("1", "GETVER");
  EXPECT_EQ(reply, "KORVO2K/Bio Ver 2.00 OK\r");
  EXPECT_NE(UpperCase(reply).find("KORVO"), std::string::npos);
  EXPECT_EQ(bus.transcript().commands(), (Strings{"GETVER", "SETLOGON 0"}));
  EXPECT_FALSE(dm->QCCom.Opened());
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(SerialSim, AParameterIsWrittenAndReadBack) {
  auto terminal = bus.attach(1);
  AddTerminal(*dm, "1", 1);
  EXPECT_EQ(dm->SendCommand("1", "PAR 30 5"), "OK\r");
  EXPECT_EQ(terminal->param(30), "5");
  EXPECT_EQ(dm->ReadParameters("1", "30\r\n7\r\n309"), "5\r\n6\r\nOpen the Door!\r\n");
}

TEST_F(SerialSim, TheTransactionDirectoryIsListed) {
  auto terminal = bus.attach(1);
  AddTerminal(*dm, "1", 1);
  korvosim::TransactionPlan plan;
  plan.records = 30;
  plan.days = 3;
  ASSERT_EQ(korvosim::generateTransactions(*terminal, plan), 30);
  const auto words = SplitReplyTokens(dm->SendCommand("1", "DIR TRANS"));
  ASSERT_GE(words.size(), 4u + 3 * 3 + 1);
  EXPECT_EQ(words[0], "TRANS");
  EXPECT_EQ(words.back(), "*");
  int records = 0;
  for (std::size_t i = 4; i + 2 < words.size(); i += 3) {
    EXPECT_TRUE(terminal->hasFile("TRANS\\" + words[i])) << words[i];
    records += std::stoi(words[i + 1]);
  }
  EXPECT_EQ(records, 30);
}

TEST_F(SerialSim, AHundredRecordsAreLoadedAndListedAgain) {
  auto terminal = bus.attach(1);
  AddTerminal(*dm, "1", 1);
  Strings records;
  std::string text = "LOAD SYSTEM\\HOLITBL.DAT";
  for (int i = 0; i < 100; ++i) {
    char rec[8];
    std::snprintf(rec, sizeof rec, "%02d%02d", i % 12 + 1, i % 28 + 1);
    records.push_back(rec);
    text += std::string("\r") + rec;
  }
  EXPECT_EQ(dm->SendCommand("1", "LOCKSYS\rDELFILE SYSTEM\\HOLITBL.DAT"), "OK\rFAIL\r");
  std::string loaded = dm->SendCommand("1", text);
  EXPECT_EQ(std::count(loaded.begin(), loaded.end(), '\r'), 101);
  EXPECT_EQ(loaded.find("--"), std::string::npos) << loaded;
  EXPECT_EQ(dm->SendCommand("1", "*\rUNLOCKSYS"), "OK\rOK\r");
  EXPECT_EQ(terminal->file("SYSTEM\\HOLITBL.DAT"), records);

  Strings listed = SplitReplyTokens(dm->SendCommand("1", "TYPE SYSTEM\\HOLITBL.DAT"));
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.back(), "*");
  listed.pop_back();
  EXPECT_EQ(listed, records);
}

TEST_F(SerialSim, AFramedOnlyTerminalAnswersInBlocks) {
  auto terminal = bus.attach(2, nullptr, korvosim::BusMode::FramedOnly);
  bus.setBlockSize(100);
  AddTerminal(*dm, "2", 1);
  EXPECT_EQ(dm->SendCommand("2", "GETVER"), "KORVO2K/Bio Ver 2.00 OK\r");
  EXPECT_EQ(Commands(korvosim::Channel::Framed), (Strings{"GETVER", "5A"}));

  korvosim::TransactionPlan plan;
  plan.records = 40;
  ASSERT_EQ(korvosim::generateTransactions(*terminal, plan), 40);
  Strings expected;
  for (const auto& name : terminal->files("TRANS"))
    for (const auto& r : terminal->file("TRANS\\" + name)) expected.push_back(r);
  bus.transcript().clear();
  Strings words = SplitReplyTokens(dm->SendCommand("2", "TYPE TRANS\\"));
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words.back(), "*");
  words.pop_back();
  EXPECT_EQ(words, expected) << "blocks end between records, so the joining blank breaks none";
  auto framed = Commands(korvosim::Channel::Framed);
  EXPECT_GT(std::count(framed.begin(), framed.end(), "5A"), 5);
  EXPECT_EQ(ui.Progress().back(), "100") << "the meter ends at its maximum";
}

TEST_F(SerialSim, ASilentTerminalGivesNoReplyAfterTenFramedAttempts) {
  bus.attach(3);
  korvosim::Faults faults;
  faults.silent = true;
  bus.setFaults(3, faults);
  AddTerminal(*dm, "3", 1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dm->SendCommand("3", "GETVER"), "--\r");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5000));
  EXPECT_EQ(Commands(korvosim::Channel::Framed), Strings(10, "GETVER"));
  EXPECT_EQ(Commands(korvosim::Channel::Plain), (Strings{"GETVER", "SETLOGON 0"}));
}

TEST(SerialSimCli, SendAndParamsRunHeadless) {
  korvosim::SerialBus bus;
  bus.attach(1);
  TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\nCOM4=" + bus.slavePath() + "\n");
  {
    TRealClock clock;
    TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    AddTerminal(test::StartProgram(program), "1", 4);
    program.ShutDown();
  }
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "send", "1", "PAR", "30", "7\\rPAR", "30"}, out, err), 0)
      << err.str();
  EXPECT_EQ(out.str(), "OK<CR>\nPAR 30 = 7<CR>\n");
  std::ostringstream out2, err2;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "params", "1", "30", "7"}, out2, err2), 0) << err2.str();
  EXPECT_EQ(out2.str(), "30=7\n7=6\n");
  std::ostringstream out3, err3;
  EXPECT_EQ(RunCli({"--folder", dir.Path(), "params", "1", "30 9"}, out3, err3), 2);
  EXPECT_EQ(bus.terminal(1)->param(30), "7") << "a refused number writes nothing";
}

}  // namespace
}  // namespace korvo
