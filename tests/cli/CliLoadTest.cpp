// korvo2k-cli load against simulated network terminals on loopback: what is stored, printed and returned.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
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
using korvosim::transactionLine;

struct TTerminalRowSpec {
  std::string address;
  int port;
};

void PrepareFolder(const TTempFolder& dir, const std::vector<TTerminalRowSpec>& rows) {
  dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput FileName=NONE\r\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TQuery q(program.Start().ADOC);
  for (const auto& r : rows)
    program.DM()->InsertRecord(q, "tTerminals",
                               {TextValue(r.address), TextValue("007"), TextValue("Gate"), IntValue(r.port)},
                               {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
  program.ShutDown();
}

int Rows(const TTempFolder& dir) {
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TQuery q(program.Start().ADOC);
  q.SetSQL("SELECT * FROM tActivities");
  q.Open();
  return q.RecordCount();
}

std::shared_ptr<korvosim::Terminal> TerminalWithRecords(const std::string& logon = "") {
  auto t = std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = logon});
  t->setFile("TRANS\\241224.DAT", {transactionLine("000408173", 15, 30, 1, 'I', "00"),
                                   transactionLine("000408174", 15, 31, 2, 'O', "00")});
  return t;
}

int Load(const TTempFolder& dir, const Strings& command, std::string* out = nullptr,
         std::string* err = nullptr) {
  Strings args{"--folder", dir.Path()};
  args.insert(args.end(), command.begin(), command.end());
  std::ostringstream o, e;
  const int rc = RunCli(args, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return rc;
}

TEST(CliLoad, StoresTheTransactionsAndSaysSo) {
  korvosim::TcpFront tcp;
  auto terminal = TerminalWithRecords();
  TTempFolder dir;
  PrepareFolder(dir, {{"127.0.0.1", tcp.add(terminal)}});
  std::string out, err;
  ASSERT_EQ(Load(dir, {"load", "127.0.0.1"}, &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(out,
            "Start Loading.....\nLoading From: 127.0.0.1.\nList File Transaction..........\n"
            "Loading From File : 241224.DAT.\nTransferring from 127.0.0.1 : 2 Record(s).\nEnd Loading.....\n"
            "2 record(s) stored, 0 skipped; 1 terminal(s), 0 unanswered, 0 incomplete\n");
  EXPECT_EQ(Rows(dir), 2);
  EXPECT_EQ(terminal->files("TRANS").size(), 1u) << "nothing deleted without Delete After Loaded";
}

TEST(CliLoad, SkippingDuplicatesStoresARepeatedDownloadOnce) {
  korvosim::TcpFront tcp;
  TTempFolder dir;
  PrepareFolder(dir, {{"127.0.0.1", tcp.add(TerminalWithRecords())}});
  std::string out;
  ASSERT_EQ(Load(dir, {"load", "127.0.0.1", "--skip-duplicates"}), 0);
  ASSERT_EQ(Load(dir, {"load", "--skip-duplicates", "127.0.0.1"}, &out), 0);
  EXPECT_NE(out.find("0 record(s) stored, 2 skipped;"), std::string::npos) << out;
  EXPECT_EQ(Rows(dir), 2);
  ASSERT_EQ(Load(dir, {"load", "127.0.0.1"}), 0);
  EXPECT_EQ(Rows(dir), 4) << "without the flag every download stores what it received";
}

TEST(CliLoad, ATerminalThatCannotBeReadMakesItExitOne) {
  struct TCase {
    const char* name;
    korvosim::Faults faults;  // of the second terminal
    std::string getver;       // its GETVER override; empty: none
    std::string outPart, errPart;
  };
  const std::vector<TCase> cases = {
      {"refusing connections", {.refuse = true}, "", "1 unanswered, 0 incomplete", "1 terminal(s) could not"},
      {"no product word", {}, "READY", "1 unanswered, 0 incomplete", "1 terminal(s) could not"},
      {"a count that is no number", {}, "", "", "error: 'two' is not a valid integer value."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    korvosim::TcpFront tcp;
    auto second = TerminalWithRecords("2");
    if (!c.getver.empty())
      second->addReplyOverride(
          {.match = "GETVER", .kind = korvosim::ReplyOverride::Kind::Text, .text = c.getver});
    if (c.outPart.empty())
      second->addReplyOverride({.match = "DIR TRANS",
                                .kind = korvosim::ReplyOverride::Kind::Text,
                                .text = "TRANS 9 Bytes Used\r\n241224.DAT two NEW\r\n*"});
    const int port = tcp.add(second);
    tcp.setFaults(port, c.faults);
    TTempFolder dir;
    PrepareFolder(dir, {{"127.0.0.1@1", tcp.add(TerminalWithRecords("1"))}, {"127.0.0.1@2", port}});
    std::string out, err;
    EXPECT_EQ(Load(dir, {"load", "--all"}, &out, &err), 1);
    EXPECT_NE(out.find(c.outPart), std::string::npos) << out;
    EXPECT_NE(err.find(c.errPart), std::string::npos) << err;
    EXPECT_EQ(Rows(dir), 2) << "the first terminal is stored all the same";
  }
}

TEST(CliLoad, AnUnknownAddressIsRefusedAndNoCurrentTerminalIsAUsageError) {
  TTempFolder dir;
  PrepareFolder(dir, {});
  std::string err;
  EXPECT_EQ(Load(dir, {"load", "9"}, nullptr, &err), 1);
  EXPECT_EQ(err, "error: No terminal has the address 9.\n");
  EXPECT_EQ(Load(dir, {"load"}, nullptr, &err), 2);
  EXPECT_NE(err.find("no current terminal"), std::string::npos) << err;
}

}  // namespace
}  // namespace korvo
