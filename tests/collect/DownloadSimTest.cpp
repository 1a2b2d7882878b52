// The transaction download against the simulator over loopback TCP, on virtual time.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "collect/TransactionDownload.h"
#include "store/Database.h"
#include "store/UploadConfig.h"
#include "support/NetTestSupport.h"

namespace korvo {
namespace {

using Strings = std::vector<std::string>;
using korvosim::ReplyOverride;
using korvosim::transactionLine;

class DownloadSim : public test::TNetFixture {
 protected:
  DownloadSim() {
    param.OutputType = "TXT";
    param.OutputFormat = "CYMDHNSR";
    param.OutputFileName = "NONE";
  }
  std::shared_ptr<korvosim::Terminal> Add(const std::string& logon = "") {
    auto t = std::make_shared<korvosim::Terminal>(korvosim::TerminalOptions{.logonCode = logon});
    t->setFile("TRANS\\241224.DAT", {transactionLine("000408173", 15, 30, 1, 'I', "00"),
                                     transactionLine("000408174", 15, 31, 2, 'O', "00")});
    t->setFile("TRANS\\251224.DAT", {transactionLine("000408175", 8, 0, 0, 'I', "01")});
    const std::string address = logon.empty() ? "127.0.0.1" : "127.0.0.1@" + logon;
    AddTerminal(address, tcp.add(t));
    return t;
  }
  TDownloadResult Run(const Strings& addresses = {"127.0.0.1"}, bool skipDuplicates = false) {
    TDownloadSinks sinks{[&](const std::string& s) { status.push_back(s); },
                         [&](const std::string& s) { log.push_back(s); },
                         [&](const std::string& s) { data.push_back(s); },
                         {},
                         {},
                         [&] { ++mainFull; }};
    TTransactionDownload job(
        dm.Link, dm.ADOC, param, dir.Path(), clock, sinks, [&] { return abortNow(); }, skipDuplicates);
    return job.Run(addresses);
  }
  Strings Commands() {
    Strings out;
    for (const auto& c : tcp.transcript().commands())
      if (c.rfind("SETLOGON", 0) != 0) out.push_back(c);
    tcp.transcript().clear();
    return out;
  }
  int Rows() {
    TQuery q(dm.ADOC);
    q.SetSQL("SELECT * FROM tActivities");
    q.Open();
    return q.RecordCount();
  }
  Strings Backups() {
    Strings names;
    if (std::filesystem::exists(dir.File("BackUp")))
      for (const auto& e : std::filesystem::directory_iterator(dir.File("BackUp")))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  bool Has(const Strings& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  korvosim::TcpFront tcp;
  TSysParam param;
  Strings status, log, data;
  int mainFull = 0;
  std::function<bool()> abortNow = [] { return false; };
};

TEST_F(DownloadSim, OneAttemptWithEveryOptionOn) {
  auto t = Add();
  param.FlagTransaction = param.DeleteAfterLoaded = param.RestartAfterLoaded = true;
  const TDownloadResult r = Run();
  EXPECT_EQ(Commands(), (Strings{"GETVER", "PAR 7", "LOCKSYS", "DIR TRANS", "DIR TRANS",
                                 "TYPE TRANS\\241224.DAT", "TYPE TRANS\\251224.DAT", "UNLOCKSYS", "DIR TRANS",
                                 "FLAGTRANS 241224.DAT", "FLAGTRANS 251224.DAT", "LOCKSYS", "RMDIR TRANS",
                                 "MKDIR TRANS", "UNLOCKSYS", "RESTART"}));
  EXPECT_EQ(r.stored, 3);
  EXPECT_EQ(Rows(), 3);
  EXPECT_TRUE(t->files("TRANS").empty());
  EXPECT_EQ(status,
            (Strings{"Start Loading.....", "Loading From: 127.0.0.1.", "List File Transaction..........",
                     "Loading From File : 241224.DAT.", "Loading From File : 251224.DAT.",
                     "Delete File Trans.", "Restart Korvo2K Address: 127.0.0.1.",
                     "Transferring from 127.0.0.1 : 3 Record(s).", "End Loading.....", ""}));
  ASSERT_EQ(Backups().size(), 1u);
  const std::string backup = Backups()[0];
  EXPECT_EQ(backup.substr(0, 13), "127.0.0.1 6  ");
  EXPECT_EQ(backup.size(), 13u + 10u + 4u);
  EXPECT_EQ(log, (Strings{"Start Loading.....", "Loading From: 127.0.0.1.", "Create File \"" + backup + "\".",
                          "Transferring 3 Record(s).", "End Loading....."}));
  EXPECT_EQ(dir.Read("BackUp/" + backup),
            "000408173241224153001I0000\r\n000408174241224153102O0000\r\n000408175251224080000I0100\r\n");
  EXPECT_EQ(data.size(), 3u);
}

TEST_F(DownloadSim, AListedTextFileCountsButIsNotTypedSoThreeAttemptsStoreThreeTimes) {
  auto t = Add();
  t->setFile("TRANS\\NOTE.TXT", {"a", "b"});
  const TDownloadResult r = Run();
  const Strings sent = Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "LOCKSYS"), 3);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "TYPE TRANS\\NOTE.TXT"), 0);
  EXPECT_EQ(Rows(), 9) << "each attempt stores what it received";
  EXPECT_EQ(Backups().size(), 3u) << "names of the same second are kept apart";
  EXPECT_EQ(r.incomplete, 1);
}

TEST_F(DownloadSim, ShortAttemptsAreRepeatedAndNeverDeleteWhatDidNotArrive) {
  auto t = Add();
  param.DeleteAfterLoaded = true;
  t->addReplyOverride({.match = "TYPE TRANS\\241224.DAT",
                       .kind = ReplyOverride::Kind::Text,
                       .text = transactionLine("000408173", 15, 30, 1, 'I', "00") + "\r\n*",
                       .times = 2});
  const TDownloadResult r = Run();
  const Strings sent = Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "RMDIR TRANS"), 1)
      << "only the third, whole attempt deletes";
  EXPECT_EQ(Rows(), 2 + 2 + 3);
  EXPECT_EQ(Backups().size(), 3u);
  EXPECT_TRUE(Has(status, "Delete File Trans withheld: 2 of 3 record(s) received."));
  EXPECT_EQ(r.incomplete, 0);
}

TEST_F(DownloadSim, NoBackupMeansNoDeletion) {
  Add();
  param.DeleteAfterLoaded = true;
  dir.Write("BackUp", "a file where the folder should be");
  Run();
  const Strings sent = Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "RMDIR TRANS"), 0);
  EXPECT_EQ(Rows(), 3) << "the records received are still stored";
  EXPECT_TRUE(Has(status, "Delete File Trans withheld: 3 of 3 record(s) received, no backup file."));
}

TEST_F(DownloadSim, EmptyAndIncompleteListings) {
  auto t = Add();
  t->removeFile("TRANS\\241224.DAT");
  t->removeFile("TRANS\\251224.DAT");
  TDownloadResult r = Run();
  EXPECT_TRUE(Has(status, "Data is empty."));
  EXPECT_EQ(r.incomplete, 0);
  EXPECT_EQ(mainFull, 1);
  EXPECT_TRUE(Backups().empty());

  t->setFile("TRANS\\241224.DAT", {transactionLine("000408173", 15, 30, 1, 'I', "00")});
  t->addReplyOverride({.match = "DIR TRANS",
                       .kind = ReplyOverride::Kind::Text,
                       .text = "TRANS 0 Bytes Used\r\n*",
                       .times = 2});
  status.clear();
  r = Run();
  EXPECT_TRUE(Has(status, "Loading incomplete."));
  EXPECT_EQ(r.incomplete, 1);
  EXPECT_EQ(Rows(), 0);
}

TEST_F(DownloadSim, CardDigitsComeFromParameterSevenOrAreOne) {
  auto t = Add();
  t->addReplyOverride({.match = "PAR 7", .kind = ReplyOverride::Kind::Text, .text = "PAR 7 = abc"});
  Run();
  ASSERT_EQ(Backups().size(), 1u);
  EXPECT_EQ(Backups()[0].substr(0, 13), "127.0.0.1 1  ");
  TQuery q(dm.ADOC);
  q.SetSQL("SELECT fsCardNo FROM tActivities ORDER BY fsCardNo");
  q.Open();
  EXPECT_EQ(q.Field(0).AsString(), "3");
}

TEST_F(DownloadSim, AnAbortBetweenTerminalsLeavesTheRestAlone) {
  Add("1");
  Add("2");
  int terminalsStarted = 0;
  abortNow = [&] { return terminalsStarted > 0; };
  tcp.transcript().setListener([&](const korvosim::TranscriptEntry& e) {
    if (e.text == "GETVER") ++terminalsStarted;
  });
  const TDownloadResult r = Run({"127.0.0.1@1", "127.0.0.1@2"});
  tcp.transcript().setListener({});
  EXPECT_TRUE(r.aborted);
  EXPECT_EQ(std::count(status.begin(), status.end(), "Abort by User......"), 1);
  EXPECT_EQ(log.back(), "Abort by User......");
  const Strings sent = Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "GETVER"), 1);
}

TEST_F(DownloadSim, SkippingDuplicatesStoresEachRecordOnceOverTwoDownloads) {
  Add();
  Run({"127.0.0.1"}, true);
  const TDownloadResult second = Run({"127.0.0.1"}, true);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(second.skipped, 3);
  EXPECT_EQ(second.stored, 0);
  EXPECT_EQ(log[log.size() - 3], "Skipped 3 Record(s) already stored.");
}

TEST_F(DownloadSim, ACountThatIsNoNumberEndsTheJobWithItsEndLines) {
  auto t = Add();
  t->addReplyOverride({.match = "DIR TRANS",
                       .kind = ReplyOverride::Kind::Text,
                       .text = "TRANS 9 Bytes Used\r\n241224.DAT two NEW\r\n*"});
  const TDownloadResult r = Run();
  EXPECT_NE(r.error.find("two"), std::string::npos) << r.error;
  EXPECT_EQ(status.back(), "");
  EXPECT_EQ(log.back(), "End Loading.....");
  EXPECT_EQ(Rows(), 0);
}

TEST_F(DownloadSim, ASilentTerminalIsSkipped) {
  auto t = Add();
  t->addReplyOverride({.match = "GETVER", .kind = ReplyOverride::Kind::Text, .text = "READY"});
  const TDownloadResult r = Run();
  EXPECT_EQ(r.unanswered, 1);
  EXPECT_EQ(Commands(), Strings{"GETVER"});
}

TEST_F(DownloadSim, ListingsCutByADroppedConnectionNeverFlagNorDeleteAndCountAsIncomplete) {
  auto t = Add();
  param.FlagTransaction = param.DeleteAfterLoaded = true;
  tcp.setFaults(dm.Link.FindTerminal("127.0.0.1")->fnPort, {.dropMidListing = true});
  const TDownloadResult r = Run();
  const Strings sent = Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "LOCKSYS"), 3) << "every attempt is tried";
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "RMDIR TRANS"), 0);
  EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                          [](const std::string& c) { return c.rfind("FLAGTRANS", 0) == 0; }),
            0);
  EXPECT_EQ(r.incomplete, 1);
  EXPECT_TRUE(Has(status, "Loading incomplete."));
  EXPECT_EQ(t->files("TRANS").size(), 2u) << "the terminal keeps its transactions";
}

TEST(CutReply, KeepsTheWordsBeforeTheLastWithoutNoReplyMarks) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"000408173241224 000408174241224 0004081", "000408173241224\r\n000408174241224\r\n"},
      {"000408173241224 --\r\n", ""},
      {"--\r\n", ""},
      {"", ""},
  };
  for (const auto& [reply, kept] : cases) EXPECT_EQ(WholeWordsOfCutReply(reply), kept) << reply;
}

}  // namespace
}  // namespace korvo
