// The transaction download against a misbehaving terminal: whatever goes wrong on the line, the
// terminal's files are deleted only after every listed record arrived and was backed up, and what
// was stored is exactly what the backups hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Faults.h"
#include "SerialBus.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "collect/TransactionDownload.h"
#include "link/SocketStream.h"
#include "store/AtomicFile.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Database.h"
#include "store/Program.h"
#include "store/UploadConfig.h"
#include "support/NetTestSupport.h"
#include "support/TemplateDatabase.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;

class DownloadFaults : public test::TNetFixture {
 protected:
  DownloadFaults() {
    param.OutputType = "TXT";
    param.OutputFormat = "CYMDHNSR";
    param.OutputFileName = "NONE";
    param.DeleteAfterLoaded = true;
    // Replies that never end cost a little real time each, not the default grace.
    dm.Link.NetStreamFactory = [this] {
      return std::make_unique<TSocketStream>(test::HybridPoll(clock, 20));
    };
  }
  int Rows() {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT COUNT(*) FROM tActivities");
    q.Open();
    return static_cast<int>(q.Field(0).AsInteger());
  }
  // The lines of every backup file.
  int BackedUpLines() {
    int lines = 0;
    if (std::filesystem::exists(dir.File("BackUp")))
      for (const auto& e : std::filesystem::directory_iterator(dir.File("BackUp"))) {
        std::string content;
        ReadWholeFile(e.path(), content);
        for (char c : content) lines += c == '\n';
      }
    return lines;
  }

  korvosim::TcpFront tcp;
  TSysParam param;
  Strings status;
};

TEST_F(DownloadFaults, TheTerminalKeepsItsFilesUnlessEveryRecordArrived) {
  constexpr int kRecords = 120;
  // What the operator sees: a status line that starts so, the job's error, or the terminal counted
  // as unanswered (the window then shows no line for it, as for a terminal that is off).
  enum class Told { Status, Error, Unanswered };
  const struct {
    const char* name;
    korvosim::Faults faults;
    bool deleted;
    Told told;
    const char* status;
  } cases[] = {
      {"trickled bytes", {.trickleBps = 40000}, true, Told::Status, "Delete File Trans."},
      {"noise before every reply", {.garbage = true}, false, Told::Error, ""},
      {"listing cut, connection dropped",
       {.dropMidListing = true},
       false,
       Told::Status,
       "Delete File Trans withheld: a listing was cut short."},
      {"no completion tokens", {.noCompletion = true}, false, Told::Unanswered, ""},
      {"silent", {.silent = true}, false, Told::Unanswered, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tTerminals");
    dm.ADOC.Execute("DELETE FROM tActivities");
    std::filesystem::remove_all(dir.File("BackUp"));
    status.clear();
    auto t = std::make_shared<korvosim::Terminal>();
    korvosim::TransactionPlan plan;
    plan.records = kRecords;
    plan.days = 3;
    korvosim::generateTransactions(*t, plan);
    const int port = tcp.add(t);
    AddTerminal("127.0.0.1", port);
    tcp.setFaults(port, c.faults);
    TDownloadSinks sinks{[&](const std::string& s) { status.push_back(s); }, {}, {}, {}, {}, {}};
    TTransactionDownload job(dm.Link, dm.ADOC, param, dir.Path(), clock, sinks, {}, false);
    const TDownloadResult r = job.Run({"127.0.0.1"});
    int left = 0;
    for (const auto& f : t->files("TRANS")) left += static_cast<int>(t->file("TRANS\\" + f).size());
    EXPECT_EQ(left, c.deleted ? 0 : kRecords) << r.error;
    // A cut listing's last record may be half of one: it is backed up as it came, and not stored.
    EXPECT_LE(Rows(), BackedUpLines()) << "each stored record is in a backup file";
    if (c.deleted) {
      EXPECT_EQ(Rows(), kRecords);
    }
    EXPECT_EQ(!r.error.empty(), c.told == Told::Error) << r.error;
    EXPECT_EQ(r.unanswered, c.told == Told::Unanswered ? 1 : 0);
    if (c.told == Told::Status) {
      EXPECT_NE(std::find(status.begin(), status.end(), c.status), status.end());
    }
    EXPECT_EQ(status.back(), "") << "the job ran to its end lines";
  }
}

// Listings that went quiet before their closing line: the deletion would take the whole folder, so
// it waits for a whole answer, even when the records counted look complete.
TEST_F(DownloadFaults, ACutListingNeverDeletesWhatItDidNotBringIn) {
  const std::string first = korvosim::transactionLine("000408173", 15, 30, 1, 'I', "00");
  const struct {
    const char* name;
    korvosim::ReplyOverride cut;
    int stored;  // a half record is refused by the database
  } cases[] = {
      {"folder list names one file of two",
       {.match = "DIR TRANS", .text = "TRANS 9 Bytes Used\r\n241224.DAT 1 NEW\r\n"},
       1},
      {"file list ends in half its last record",
       {.match = "TYPE TRANS\\251224.DAT", .text = first + "\r\n0004081"},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dm.ADOC.Execute("DELETE FROM tTerminals");
    dm.ADOC.Execute("DELETE FROM tActivities");
    status.clear();
    auto t = std::make_shared<korvosim::Terminal>();
    t->setFile("TRANS\\241224.DAT", {first});
    t->setFile("TRANS\\251224.DAT", {first, korvosim::transactionLine("000408175", 8, 0, 0, 'I', "01")});
    AddTerminal("127.0.0.1", tcp.add(t));
    korvosim::ReplyOverride cut = c.cut;
    cut.kind = korvosim::ReplyOverride::Kind::Text;
    t->addReplyOverride(cut);
    TDownloadSinks sinks{[&](const std::string& s) { status.push_back(s); }, {}, {}, {}, {}, {}};
    TTransactionDownload job(dm.Link, dm.ADOC, param, dir.Path(), clock, sinks, {}, false);
    job.Run({"127.0.0.1"});
    EXPECT_EQ(t->files("TRANS").size(), 2u) << "nothing deleted";
    EXPECT_EQ(
        std::count(status.begin(), status.end(), "Delete File Trans withheld: a listing was cut short."), 1)
        << "the records counted came, so there is one attempt";
    EXPECT_EQ(Rows(), c.stored);
  }
}

// Over the serial bus the listings carry their closing "*" too: a whole download still deletes.
TEST(DownloadSerial, AWholeDownloadOverTheBusDeletesTheTerminalsFiles) {
  korvosim::SerialBus bus;
  auto t = std::make_shared<korvosim::Terminal>();
  bus.attach(1, t);
  t->setFile("TRANS\\241224.DAT", {korvosim::transactionLine("000408173", 15, 30, 1, 'I', "00"),
                                   korvosim::transactionLine("000408174", 15, 31, 2, 'O', "00")});
  test::TTempFolder dir;
  dir.Write("PORTS.CFG", "[Ports]\r\nCOM1=" + bus.slavePath() + "\r\n");
  TRealClock clock;
  test::TRecordingUi ui;
  TProgram program(dir.Path(), clock, ui);
  TDM& dm = test::StartProgram(program);
  dm.ADOC.Execute(
      "INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES ('1', '001', 'Door', 1)");
  TSysParam param;
  param.OutputType = "TXT";
  param.OutputFormat = "CYMDHNSR";
  param.OutputFileName = "NONE";
  param.DeleteAfterLoaded = true;
  Strings status;
  TDownloadSinks sinks{[&](const std::string& s) { status.push_back(s); }, {}, {}, {}, {}, {}};
  TTransactionDownload job(dm.Link, dm.ADOC, param, dir.Path(), clock, sinks, {}, false);
  const TDownloadResult r = job.Run({"1"});
  EXPECT_EQ(r.stored, 2);
  EXPECT_TRUE(t->files("TRANS").empty());
  EXPECT_NE(std::find(status.begin(), status.end(), "Delete File Trans."), status.end());
  program.ShutDown();
}

}  // namespace
}  // namespace korvo
