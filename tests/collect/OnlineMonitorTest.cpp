// The online monitor without its window: cutting and storing lines, and the receiver over loopback
// TCP with the simulator's pusher and raw sockets as the terminals.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "OnlinePusher.h"
#include "collect/OnlineActivities.h"
#include "collect/OnlineLine.h"
#include "collect/OnlineReceiver.h"
#include "collect/OnlineStore.h"
#include "collect/TCPEchoDaemon.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "support/MainFixture.h"

namespace korvo {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const std::string kLine = "001402177382026120810203010500";

TEST(OnlineLineTest, FieldsFollowTheCardDigits) {
  struct TCase {
    std::string line;
    int digits;
    Strings fields;  // term, card, y, m, d, h, n, s, dir, event, function
    std::string time;
  };
  const TCase cases[] = {
      {kLine,
       8,
       {"001", "40217738", "2026", "12", "08", "10", "20", "30", "1", "05", "00"},
       "2026/12/08 10:20:30"},
      // One card digit: the date slides into the card's place and no longer reads as a date.
      {kLine,
       1,
       {"001", "4", "0217", "73", "82", "02", "61", "20", "8", "10", "203010500"},
       "0217/73/82 02:61:20"},
      {"0014021", 8, {"001", "4021", "", "", "", "", "", "", "", "", ""}, "// ::"},
      {kLine + "F1 X", 8, {"001", "40217738", "2026", "12", "08", "10", "20", "30", "1", "05", "00F1 X"}, ""},
  };
  for (const auto& c : cases) {
    const TOnlineLine f = CutOnlineLine(c.line, c.digits);
    EXPECT_EQ((Strings{f.termNo, f.cardNo, f.year, f.month, f.day, f.hour, f.minute, f.second, f.dirFlag,
                       f.eventFlag, f.functionCode}),
              c.fields)
        << c.line << " N=" << c.digits;
    if (!c.time.empty()) {
      EXPECT_EQ(f.TimeText(), c.time);
    }
  }
}

class OnlineMonitorTest : public test::TMainFixture {
 protected:
  TDatabase& Db() { return dm->ADOC; }
  void Log(const std::string& m) { dm->WriteLog(m, true); }
  std::vector<Strings> Rows(const std::string& where = "") {
    TQuery q(Db());
    q.SetSQL("SELECT * FROM tActivities " + where + " ORDER BY rowid");
    q.Open();
    std::vector<Strings> rows;
    for (q.First(); !q.Eof(); q.Next()) {
      Strings r;
      for (int i = 0; i < q.FieldCount(); ++i) r.push_back(q.Field(i).AsString());
      rows.push_back(r);
    }
    return rows;
  }
  int Count(const std::string& sql) {
    TQuery q(Db());
    q.SetSQL(sql);
    q.Open();
    return static_cast<int>(q.Field(0).AsInteger());
  }
  std::unique_ptr<TOnlineReceiver> Receiver(int digits, TOnlineListenerOptions o = {}) {
    o.bindAddress = "127.0.0.1";
    o.port = 0;
    TOnlineReceiver::TSinks sinks;
    sinks.display = [this](const TOnlineLine& l, const std::string& fn) {
      shown.push_back(l.cardNo + "|" + l.TimeText() + "|" + fn);
    };
    sinks.log = [this](const std::string& m) { Log(m); };
    auto r = std::make_unique<TOnlineReceiver>(Db(), o, digits, std::move(sinks));
    EXPECT_TRUE(r->Start()) << r->Error();
    return r;
  }
  // Processes batches on this thread, as the window's event loop does, until `rows` are stored.
  bool StoreUntil(TOnlineReceiver& r, int rows, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (r.Stored() < rows && std::chrono::steady_clock::now() < end)
      if (r.WaitPending(20ms)) batches.push_back(r.ProcessPending());
    return r.Stored() >= rows;
  }
  korvosim::OnlinePusherOptions Push(int port, Strings lines) {
    korvosim::OnlinePusherOptions o;
    o.port = port;
    o.linesPerSecond = 0;
    o.count = static_cast<int>(lines.size());
    o.lines = std::move(lines);
    o.retryMs = 20;
    return o;
  }
  Strings shown;
  std::vector<int> batches;
};

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void Send(int fd, const std::string& bytes) {
  ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

TEST_F(OnlineMonitorTest, ABatchIsShownLineByLineBeforeEachRowAndARefusedLineIsLogged) {
  Db().Execute("INSERT INTO tDirMap VALUES ('F1', 'FX', 'Key one')");
  struct TCase {
    int digits;
    Strings lines;
    std::vector<Strings> rows;
    Strings log;
  };
  const TCase cases[] = {
      {8,
       {kLine,
        "002"
        "40217738"
        "20261208102031"
        "0"
        "05"
        "F1"},
       {{"40217738", "2026-12-08 10:20:30", "1", "05", "001", "00"},
        {"40217738", "2026-12-08 10:20:31", "0", "05", "002", "FX"}},
       {}},
      // Cut inside its date the first line cannot be stored; the rest of the batch is.
      {1,
       {kLine, "0054202612081020301I0500"},
       {{"4", "2026-12-08 10:20:30", "1", "I0", "005", "500"}},
       {"Online line not stored : " + kLine + "."}},
  };
  for (const auto& c : cases) {
    Db().Execute("DELETE FROM tActivities");
    std::vector<int> before;
    TOnlineStore store(Db(), [this](const std::string& m) { Log(m); });
    const int stored = store.StoreBatch(c.lines, c.digits, [&](const TOnlineLine&, const std::string&) {
      before.push_back(Count("SELECT count(*) FROM tActivities"));
    });
    EXPECT_EQ(stored, static_cast<int>(c.rows.size()));
    EXPECT_EQ(Rows(), c.rows) << "N=" << c.digits;
    EXPECT_EQ(before.size(), c.lines.size()) << "every line is shown, stored or not";
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_LE(before[i], static_cast<int>(i));
    const Strings log = LogMessages();
    for (const auto& m : c.log) {
      EXPECT_NE(std::find(log.begin(), log.end(), m), log.end()) << m;
    }
  }
}

TEST_F(OnlineMonitorTest, QuotesAndSqlInALineAreStoredAsReceived) {
  const std::string evil = "00'\"); DROP TABLE tEmployees; --2026120810203010500\"'";
  TOnlineStore store(Db(), {});
  EXPECT_EQ(store.StoreBatch(
                {"001" + std::string("\"x',\"") + "2026120810203010500'\");DELETE FROM tTerminals;--"}, 5),
            1);
  AddTerminal("1", "001", "Gate");
  EXPECT_EQ(store.StoreBatch({evil}, 0), 0) << "its date is no date";
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (Strings{"\"x',\"", "2026-12-08 10:20:30", "1", "05", "001",
                              "00'\");DELETE FROM tTerminals;--"}));
  EXPECT_EQ(Count("SELECT count(*) FROM tTerminals"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM tEmployees"), 0);
}

TEST_F(OnlineMonitorTest, DigitDirectionFlagsJoinInTheBrowserAndAnOlderDatabaseGetsThemOnce) {
  EXPECT_EQ(Count("SELECT count(*) FROM tDirMap WHERE fcDirFlag IN ('0','1') AND fcDirFlag=fsDirCode"), 2);
  AddTerminal("1", "001", "Gate");
  TOnlineStore(Db(), {}).StoreBatch({kLine}, 8);
  EXPECT_EQ(
      Count("SELECT count(*) FROM tActivities A JOIN tDirMap D ON A.fcDirFlag=D.fsDirCode "
            "JOIN tEventMap B ON A.fsEventFlag=B.fsEventFlag JOIN tTerminals T ON A.fsTermNo=T.fsTermNo"),
      1);
  // An older database: one row missing, the other changed by the operator.
  Db().Execute("DELETE FROM tDirMap WHERE fcDirFlag='0'");
  Db().Execute("UPDATE tDirMap SET fsDirDisplay='Exit' WHERE fcDirFlag='1'");
  InstallMissingDirectionFlags(Db());
  InstallMissingDirectionFlags(Db());
  TQuery q(Db());
  q.SetSQL(
      "SELECT fcDirFlag || fsDirCode || fsDirDisplay FROM tDirMap WHERE fcDirFlag IN ('0','1') ORDER BY 1");
  q.Open();
  Strings got;
  for (q.First(); !q.Eof(); q.Next()) got.push_back(q.Field(0).AsString());
  EXPECT_EQ(got, (Strings{"00In", "11Exit"}));
}

TEST_F(OnlineMonitorTest, TheLatestActivitiesAreTheLastFiftyInStoringOrder) {
  for (int n : {30, 80}) {
    Db().Execute("DELETE FROM tActivities");
    TTransaction tx(Db());
    for (int i = 0; i < n; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "%03d%08d2026120810%02d%02d1%02d00", i % 2 + 1, i, i / 60, i % 60,
                    i % 10);
      TOnlineStore(Db(), {}).StoreBatch({line}, 8);
    }
    tx.Commit();
    const auto all = LatestActivities(Db(), std::nullopt, 50);
    ASSERT_EQ(all.size(), std::min<std::size_t>(n, 50));
    EXPECT_EQ(all.back().cardNo, (n == 30 ? "00000029" : "00000079"));
    EXPECT_EQ(all.front().cardNo, (n == 30 ? "00000000" : "00000030"));
    EXPECT_EQ(all.front().time, n == 30 ? "2026/12/08 10:00:00" : "2026/12/08 10:00:30");
    const auto one = LatestActivities(Db(), std::string("002"), 50);
    ASSERT_EQ(one.size(), static_cast<std::size_t>(std::min(n / 2, 50)));
    for (const auto& a : one) EXPECT_EQ(a.termNo, "002");
  }
}

TEST_F(OnlineMonitorTest, LinesArriveInBatchesInArrivalOrder) {
  auto r = Receiver(8);
  const int fd = Connect(r->Port());
  // Three lines 100 ms apart make one batch; a burst of 600 is cut into batches of 256.
  for (int i = 0; i < 3; ++i) {
    Send(fd, "00" + std::to_string(i + 1) + kLine.substr(3) + "\r\n");
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(StoreUntil(*r, 3));
  EXPECT_EQ(batches, (std::vector<int>{1}));
  EXPECT_EQ(Rows().size(), 3u);
  EXPECT_EQ(Rows()[2][4], "003");
  EXPECT_EQ(shown.size(), 3u);
  std::string burst;
  for (int i = 0; i < 600; ++i) burst += kLine + "\r\n";
  Send(fd, burst);
  ::close(fd);
  ASSERT_TRUE(StoreUntil(*r, 603));
  EXPECT_EQ(Count("SELECT count(*) FROM tActivities"), 603);
  r->Stop();
}

TEST_F(OnlineMonitorTest, BatchesAreCutAtTheirSizeAndOnlyNonEmptyLinesCount) {
  TOnlineBatchQueue queue;
  TOnlineListenerOptions o;
  o.bindAddress = "127.0.0.1";
  o.port = 0;
  TTCPEchoDaemon daemon(o, queue);
  ASSERT_EQ(daemon.Start(), "");
  const int fd = Connect(daemon.Port());
  std::string burst = "\r\n\r\n";
  for (int i = 0; i < 600; ++i) burst += "L" + std::to_string(i) + "\r\n";
  Send(fd, burst);
  ::close(fd);
  std::vector<std::size_t> sizes;
  Strings lines;
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (lines.size() < 600 && std::chrono::steady_clock::now() < end)
    if (queue.WaitPending(20ms))
      queue.ProcessPending([&](TOnlineBatch& b) {
        sizes.push_back(b.lines.size());
        lines.insert(lines.end(), b.lines.begin(), b.lines.end());
        EXPECT_EQ(b.peer, "127.0.0.1");
      });
  EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256, 88}));
  ASSERT_EQ(lines.size(), 600u);
  EXPECT_EQ(lines.front(), "L0");
  EXPECT_EQ(lines.back(), "L599");
  daemon.Stop([](TOnlineBatch&) {});
}

TEST_F(OnlineMonitorTest, OverlongLinesLfLinesAndCutOffLinesFromThePusher) {
  auto r = Receiver(8);
  const std::string longest = kLine + std::string(4096 - kLine.size(), 'x');
  struct TCase {
    Strings lines;
    std::string lineEnd, tail;
    int stored;
    std::string log;
  };
  const TCase cases[] = {
      {{longest, kLine}, "\r\n", "", 2, ""},
      {{kLine, longest + "y", kLine},
       "\r\n",
       "",
       1,
       "Online line longer than 4096 bytes, connection closed : 127.0.0.1."},
      {{kLine, kLine}, "\n", "0014021773", 2, "Online line without end not stored : 0014021773."},
  };
  int total = 0;
  for (const auto& c : cases) {
    auto o = Push(r->Port(), c.lines);
    o.lineEnd = c.lineEnd;
    o.tail = c.tail;
    korvosim::OnlinePusher pusher(o);
    ASSERT_TRUE(pusher.waitDone(3000ms));
    total += c.stored;
    ASSERT_TRUE(StoreUntil(*r, total));
    std::this_thread::sleep_for(100ms);
    r->ProcessPending();
    EXPECT_EQ(r->Stored(), total);
    if (!c.log.empty()) {
      EXPECT_EQ(LogMessages().back(), c.log);
    }
  }
  EXPECT_EQ(Count("SELECT max(length(fsFunctionCode)) FROM tActivities"), 4096 - 28);
  r->Stop();
}

TEST_F(OnlineMonitorTest, AHundredConnectionsAtOnceAreServedSixtyFourAtATime) {
  auto r = Receiver(8);
  auto o = Push(r->Port(), {kLine, kLine});
  o.connections = 100;
  o.gapsMs = {300};
  korvosim::OnlinePusher pusher(o);
  ASSERT_TRUE(StoreUntil(*r, 200, 15000ms));
  ASSERT_TRUE(pusher.waitDone(3000ms));
  EXPECT_EQ(pusher.sentPerConnection(), std::vector<int>(100, 2));
  EXPECT_EQ(Count("SELECT count(*) FROM tActivities"), 200);
  EXPECT_LE(r->PeakConnections(), 64);
  EXPECT_GE(r->PeakConnections(), 32);
  r->Stop();
}

TEST_F(OnlineMonitorTest, ClosingStoresWhatArrivedEndsSilentAndHalfLinePeersAndFreesThePort) {
  auto r = Receiver(8);
  const int port = r->Port();
  const int silent = Connect(port);
  const int half = Connect(port);
  Send(half, kLine.substr(0, 10));
  ::close(half);  // gone mid-line
  const int busy = Connect(port);
  Send(busy, kLine + "\r\n" + kLine + "\r\n0011");
  // The lines have arrived but no batch has been processed when the monitor closes.
  std::this_thread::sleep_for(100ms);
  const auto start = std::chrono::steady_clock::now();
  r->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  EXPECT_EQ(Count("SELECT count(*) FROM tActivities"), 2);
  EXPECT_TRUE(shown.empty()) << "a closing monitor stores without showing";
  const Strings log = LogMessages();
  EXPECT_NE(std::find(log.begin(), log.end(), "Online line without end not stored : 0011."), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "Online line without end not stored : 0014021773."), log.end());
  ::close(silent);
  ::close(busy);

  // The port is free again at once, and taken while a receiver holds it.
  TOnlineListenerOptions o;
  o.bindAddress = "127.0.0.1";
  o.port = port;
  TOnlineReceiver again(Db(), o, 8,
                        {.display = {}, .log = [this](const std::string& m) { Log(m); }, .notify = {}});
  ASSERT_TRUE(again.Start()) << again.Error();
  TOnlineReceiver taken(Db(), o, 8,
                        {.display = {}, .log = [this](const std::string& m) { Log(m); }, .notify = {}});
  EXPECT_FALSE(taken.Start());
  EXPECT_EQ(taken.Error(),
            "Online port " + std::to_string(port) + " not available : Address already in use.");
  EXPECT_EQ(LogMessages().back(), taken.Error());
}

TEST(OnlinePortTest, PortTextsAndCardDigitsWithoutATerminal) {
  EXPECT_EQ(OnlinePortNumber("8010"), 8010);
  EXPECT_EQ(OnlinePortNumber(" 8010 "), 8010);
  for (const char* bad : {"", "80x", "0", "65536", "-1"}) EXPECT_FALSE(OnlinePortNumber(bad)) << bad;
}

}  // namespace
}  // namespace korvo
