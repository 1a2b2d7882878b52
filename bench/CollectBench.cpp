// The collection path's speed: storing records, a whole download over loopback TCP from the
// simulator, and dBase output. Each figure is measured beside its yardstick in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "TcpFront.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "collect/TransactionDownload.h"
#include "collect/TransactionLookups.h"
#include "collect/TransactionOutput.h"
#include "collect/TransactionStore.h"
#include "link/LinkServices.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"
#include "store/UploadConfig.h"

namespace {

using namespace korvo;
using bench::TTempDir;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Records of 100 days, as a terminal's files would give them after the date is put in.
std::vector<std::string> Records(int count) {
  std::vector<std::string> records;
  records.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    char r[32];
    std::snprintf(r, sizeof r, "%09d%02d%02d24%02d%02d%02d%c00%s", 400000 + i % 500, 1 + i % 28,
                  1 + (i / 28) % 12, i % 24, i % 60, (i / 60) % 60, i % 2 ? 'O' : 'I', "00");
    records.push_back(r);
  }
  return records;
}

struct TStarted {
  TTempDir dir;
  TRealClock clock;
  TUnattendedUi ui;
  TProgram program{dir.path, clock, ui};
  TDM& dm = program.Start();
  ~TStarted() { program.ShutDown(); }
};

// 100,000 records through StoreTransaction in one transaction, and the sqlite3 shell inserting the
// same rows into the same table in one transaction. The goal: at most 1.5 times the shell's time.
void BM_Store100000BesideSqliteShell(benchmark::State& state) {
  const std::vector<std::string> records = Records(100000);
  double ours = 0, shell = 0;
  for (auto _ : state) {
    TStarted s;
    TTransactionLookups lookups(s.dm.ADOC);
    auto start = std::chrono::steady_clock::now();
    {
      TTransaction t(s.dm.ADOC);
      TTransactionStore store(s.dm.ADOC, lookups, "20", false);
      for (const auto& r : records) store.StoreTransaction(r, 6, "001");
      t.Commit();
    }
    ours += Seconds(start);

    // The same rows as the shell would get them from a script.
    std::string script = "BEGIN;\n";
    for (const auto& r : records) {
      const TActivityRow row = ActivityRow(lookups, "20", r, 6, "001");
      script += "INSERT INTO tActivities VALUES('" + row.cardNo + "','" + row.time + "','" + row.dirFlag +
                "','" + row.eventFlag + "','" + row.termNo + "','" + row.functionCode + "');\n";
    }
    script += "COMMIT;\n";
    std::ofstream(s.dir.path + "rows.sql") << script;
    s.dm.ADOC.Execute("DELETE FROM tActivities");
    const std::string db = s.dm.DatabasePath();
    start = std::chrono::steady_clock::now();
    const int rc = std::system(("sqlite3 '" + db + "' < '" + s.dir.path + "rows.sql'").c_str());
    shell += Seconds(start);
    if (rc != 0) state.SkipWithError("the sqlite3 shell failed");
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["ours_s"] = ours / n;
  state.counters["sqlite3_shell_s"] = shell / n;
  state.counters["ratio"] = ours / shell;
}
BENCHMARK(BM_Store100000BesideSqliteShell)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// A download of 65,536 records over loopback TCP, stored and written as text, beside the raw
// transfer (the same DIR and TYPE commands alone) plus storing the same records. Goals: at most 5 s
// and at most twice the raw transfer plus store.
void BM_Download65536BesideRawTransferAndStore(benchmark::State& state) {
  double job = 0, raw = 0, store = 0;
  int stored = 0;
  for (auto _ : state) {
    korvosim::TcpFront tcp;
    auto terminal = std::make_shared<korvosim::Terminal>();
    korvosim::TransactionPlan plan;
    plan.records = 65536;
    plan.days = 30;
    korvosim::generateTransactions(*terminal, plan);
    const int port = tcp.add(terminal);
    TStarted s;
    s.dm.ADOC.Execute(
        "INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation, fnPort) VALUES ('127.0.0.1', '001', "
        "'Bench', ?)",
        {IntValue(port)});

    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> received;
    for (const auto& name : terminal->files("TRANS")) {
      const std::string reply = SendCommand(s.dm.Link, "127.0.0.1", "TYPE TRANS\\" + name);
      received.push_back(reply);
    }
    SendCommand(s.dm.Link, "127.0.0.1", "DIR TRANS");
    raw += Seconds(start);

    TSysParam param = s.dm.SysParam;
    param.OutputType = "TXT";
    param.OutputFormat = "CYMDHNSR";
    param.OutputFileName = s.dir.path + "out.txt";
    TTransactionDownload download(s.dm.Link, s.dm.ADOC, param, s.dir.path, s.clock, {}, {}, false);
    start = std::chrono::steady_clock::now();
    const TDownloadResult r = download.Run({"127.0.0.1"});
    job += Seconds(start);
    stored = r.stored;

    // Storing the same number of records alone.
    const std::vector<std::string> records = Records(r.stored);
    s.dm.ADOC.Execute("DELETE FROM tActivities");
    TTransactionLookups lookups(s.dm.ADOC);
    start = std::chrono::steady_clock::now();
    TTransaction t(s.dm.ADOC);
    TTransactionStore st(s.dm.ADOC, lookups, "20", false);
    for (const auto& rec : records) st.StoreTransaction(rec, 6, "001");
    t.Commit();
    store += Seconds(start);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["records"] = stored;
  state.counters["job_s"] = job / n;
  state.counters["raw_transfer_s"] = raw / n;
  state.counters["store_s"] = store / n;
  state.counters["ratio_to_raw_plus_store"] = job / (raw + store);
}
BENCHMARK(BM_Download65536BesideRawTransferAndStore)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// 100,000 records written as a dBase table.
void BM_DbfOutput100000(benchmark::State& state) {
  const std::vector<std::string> records = Records(100000);
  for (auto _ : state) {
    TStarted s;
    TSysParam param;
    param.OutputType = "DBF";
    param.OutputFormat = "CYMDHNSRI";
    param.OutputFileName = s.dir.path + "out.dbf";
    TTransactionLookups lookups(s.dm.ADOC);
    TTransactionOutput output(param, "20", {2026, 12, 9});
    std::vector<std::string> copy = records;
    output.WriteTransactionOutput(copy, 6, "001", lookups, {});
  }
  state.counters["records_per_second"] =
      benchmark::Counter(100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DbfOutput100000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
