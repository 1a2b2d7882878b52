// The online monitor's speed: its store path beside the engine's raw insert of the same rows, and
// a load of 32 terminals pushing 100,000 lines at once through the receiver, every line counted in
// the database afterwards.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "OnlinePusher.h"
#include "collect/OnlineActivities.h"
#include "collect/OnlineReceiver.h"
#include "collect/OnlineStore.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace {

using namespace korvo;
using bench::TTempDir;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct TStarted {
  TTempDir dir;
  TRealClock clock;
  TUnattendedUi ui;
  TProgram program{dir.path, clock, ui};
  TDM& dm = program.Start();
  ~TStarted() { program.ShutDown(); }
};

std::vector<std::string> Lines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%03d%08d202612%02d%02d%02d%02d%c0500", 1 + i % 4, i, 1 + i % 28, i % 24,
                  (i / 60) % 60, i % 60, i % 2 ? '1' : '0');
    lines.push_back(line);
  }
  return lines;
}

// 100,000 lines through the monitor's store path in batches of 256 (each its own transaction, the
// function code mapped), beside the same rows bound into one prepared INSERT in the same
// transactions. Goal: at most 1.5 times the raw insert.
void BM_OnlineStoreBesideRawInsert(benchmark::State& state) {
  const std::vector<std::string> lines = Lines(100000);
  constexpr std::size_t kBatch = 256;
  double ours = 0, raw = 0;
  for (auto _ : state) {
    TStarted s;
    TOnlineStore store(s.dm.ADOC, {});
    auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < lines.size(); i += kBatch) {
      const std::vector<std::string> batch(lines.begin() + i,
                                           lines.begin() + std::min(i + kBatch, lines.size()));
      store.StoreBatch(batch, 8);
    }
    ours += Seconds(start);

    std::vector<std::vector<TValue>> rows;
    for (const auto& l : lines) {
      const TOnlineLine f = CutOnlineLine(l, 8);
      const auto v = TOnlineStore::RowValues(f, f.functionCode);
      rows.push_back({v[0], v[1], v[2], v[3], v[4], v[5]});
    }
    s.dm.ADOC.Execute("DELETE FROM tActivities");
    TPreparedStatement insert(s.dm.ADOC, "INSERT INTO tActivities VALUES (?, ?, ?, ?, ?, ?)");
    start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < rows.size(); i += kBatch) {
      TTransaction tx(s.dm.ADOC);
      for (std::size_t j = i; j < std::min(i + kBatch, rows.size()); ++j) insert.Execute(rows[j]);
      tx.Commit();
    }
    raw += Seconds(start);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["ours_lines_per_s"] = 100000 * n / ours;
  state.counters["raw_rows_per_s"] = 100000 * n / raw;
  state.counters["ratio"] = ours / raw;
}
BENCHMARK(BM_OnlineStoreBesideRawInsert)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// 32 connections of the simulator's pusher, 3,125 lines each as fast as they go, into the receiver
// with the command line's work per line (the look-ups of the list columns). Every line differs, so
// the database tells what arrived: lost = sent - distinct rows, duplicates = rows - distinct rows.
// Goals: at least 2,000 lines/s, nothing lost, nothing twice.
void BM_Online32ConnectionsPush100000Lines(benchmark::State& state) {
  double seconds = 0;
  long long sent = 0, rows = 0, distinct = 0;
  int peak = 0;
  for (auto _ : state) {
    TStarted s;
    TMonitorLookups lookups(s.dm.ADOC);
    std::size_t shown = 0;
    TOnlineReceiver::TSinks sinks;
    sinks.display = [&](const TOnlineLine& l, const std::string& fn) {
      shown += lookups.Row(l.cardNo, l.TimeText(), fn, l.termNo, l.eventFlag, l.dirFlag).cardNo.size();
    };
    TOnlineListenerOptions options;
    options.bindAddress = "127.0.0.1";
    options.port = 0;
    TOnlineReceiver receiver(s.dm.ADOC, options, 8, std::move(sinks));
    if (!receiver.Start()) state.SkipWithError(receiver.Error().c_str());
    korvosim::OnlinePusherOptions o;
    o.port = receiver.Port();
    o.linesPerSecond = 0;
    o.connections = 32;
    o.count = 3125;
    o.cardDigits = 8;
    o.sequentialCards = true;
    const auto start = std::chrono::steady_clock::now();
    korvosim::OnlinePusher pusher(o);
    while (receiver.Stored() < 100000 && Seconds(start) < 300)
      if (receiver.WaitPending(std::chrono::milliseconds(50))) receiver.ProcessPending();
    seconds += Seconds(start);
    pusher.waitDone(std::chrono::seconds(10));
    receiver.Stop();
    peak = receiver.PeakConnections();
    sent += pusher.sent();
    TQuery q(s.dm.ADOC);
    q.SetSQL("SELECT count(*), count(DISTINCT fsCardNo) FROM tActivities");
    q.Open();
    rows += q.Field(0).AsInteger();
    distinct += q.Field(1).AsInteger();
    benchmark::DoNotOptimize(shown);
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["lines_per_s"] = static_cast<double>(rows) / seconds;
  state.counters["sent"] = static_cast<double>(sent);
  state.counters["lost"] = static_cast<double>(sent - distinct);
  state.counters["twice"] = static_cast<double>(rows - distinct);
  state.counters["peak_connections"] = peak;
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_Online32ConnectionsPush100000Lines)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
