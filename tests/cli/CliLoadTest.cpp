// korvo2k-cli load against simulated network terminals on loopback: what is stored, printed and returned.
#include <gtest/gtest.h>

#include <filesystem>
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

using Strings = std::vector<std::string>;
using korvosim::ReplyOverride;

// Two terminals with two records each; the second as `second` says.
class CliLoad : public ::testing::Test {
 protected:
  void Prepare(const korvosim::Faults& faults = {}, const ReplyOverride* second = nullptr) {
    dir.Write("UPLOAD.CFG", "[Korvo2KWeb]\r\nOutput FileName=NONE\r\n");
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TQuery q(program.Start().ADOC);
    for (int n : {1, 2}) {
      auto t =
          std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = std::to_string(n)});
      t->setFile("TRANS\\241224.DAT", {korvosim::transactionLine("000408173", 15, 30, 1, 'I', "00"),
                                       korvosim::transactionLine("000408174", 15, 31, 2, 'O', "00")});
      if (n == 2 && second) t->addReplyOverride(*second);
      const int port = tcp.add(t);
      if (n == 2) tcp.setFaults(port, faults);
      program.DM()->InsertRecord(
          q, "tTerminals",
          {TextValue("127.0.0.1@" + std::to_string(n)), TextValue("007"), TextValue("Gate"), IntValue(port)},
          {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});
    }
    program.ShutDown();
  }
  int Load(const Strings& command) {
    Strings args{"--folder", dir.Path()};
    args.insert(args.end(), command.begin(), command.end());
    std::ostringstream o, e;
    const int rc = RunCli(args, o, e);
    out = o.str();
    err = e.str();
    return rc;
  }
  int Rows() {
    TRealClock clock;
    test::TRecordingUi ui;
    TProgram program(dir.Path(), clock, ui);
    TQuery q(program.Start().ADOC);
    q.SetSQL("SELECT * FROM tActivities");
    q.Open();
    return q.RecordCount();
  }

  korvosim::TcpFront tcp;
  test::TTempFolder dir;
  std::string out, err;
};

TEST_F(CliLoad, StoresTheTransactionsAndSkipsWhatIsStoredAlreadyWhenAsked) {
  Prepare();
  ASSERT_EQ(Load({"load", "127.0.0.1@1", "--skip-duplicates"}), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(
      out,
      "Start Loading.....\nLoading From: 127.0.0.1@1.\nList File Transaction..........\n"
      "Loading From File : 241224.DAT.\nTransferring from 127.0.0.1@1 : 2 Record(s).\nEnd Loading.....\n"
      "2 record(s) stored, 0 skipped; 1 terminal(s), 0 unanswered, 0 incomplete\n");
  ASSERT_EQ(Load({"load", "--skip-duplicates", "127.0.0.1@1"}), 0);
  EXPECT_NE(out.find("0 record(s) stored, 2 skipped;"), std::string::npos) << out;
  EXPECT_EQ(Rows(), 2);
  ASSERT_EQ(Load({"load", "127.0.0.1@1"}), 0);
  EXPECT_EQ(Rows(), 4) << "without the flag every download stores what it received";
}

TEST_F(CliLoad, ATerminalThatCannotBeReadMakesItExitOne) {
  const ReplyOverride noProduct{.match = "GETVER", .kind = ReplyOverride::Kind::Text, .text = "READY"};
  const ReplyOverride noNumber{.match = "DIR TRANS",
                               .kind = ReplyOverride::Kind::Text,
                               .text = "TRANS 9 Bytes Used\r\n241224.DAT two NEW\r\n*"};
  const struct {
    const char* name;
    korvosim::Faults faults;
    const ReplyOverride* second;
    std::string outPart, errPart;
  } cases[] = {
      {"refusing connections", {.refuse = true}, nullptr, "1 unanswered", "1 terminal(s) could not"},
      {"no product word", {}, &noProduct, "1 unanswered", "1 terminal(s) could not"},
      {"a count that is no number", {}, &noNumber, "", "error: 'two' is not a valid integer value."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(dir.File("Korvoweb.mdb"));  // a fresh database for each case
    Prepare(c.faults, c.second);
    EXPECT_EQ(Load({"load", "--all"}), 1);
    EXPECT_NE(out.find(c.outPart), std::string::npos) << out;
    EXPECT_NE(err.find(c.errPart), std::string::npos) << err;
    EXPECT_EQ(Rows(), 2) << "the first terminal is stored all the same";
  }
  EXPECT_EQ(Load({"load", "9"}), 1);
  EXPECT_EQ(err, "error: No terminal has the address 9.\n");
}

}  // namespace
}  // namespace korvo
