// How much of the serial line's rate a long listing achieves: "TYPE TRANS\" of 10,000 transaction
// records from the simulator, whose terminal sends at 11,520 bytes/s (115200 bit/s, 10 bits a byte).
// The plain exchange polls every 30 ms for a TRANS command, so the reader must keep pace with the
// line and never rescan what it already holds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "SerialBus.h"
#include "Terminal.h"
#include "TransactionGenerator.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace {

using namespace korvo;

using bench::TTempDir;

constexpr int kLineBytesPerSecond = 11520;
constexpr int kRecords = 10000;

void TypeTrans(benchmark::State& state, int throttle) {
  korvosim::SerialBusOptions options;
  options.throttleBps = throttle;
  korvosim::SerialBus bus(options);
  auto terminal = bus.attach(1);
  korvosim::TransactionPlan plan;
  plan.records = kRecords;
  plan.days = 10;
  korvosim::generateTransactions(*terminal, plan);
  // The bytes on the wire: every record with its CR LF, then the "*" line.
  std::size_t wireBytes = 3;
  for (const auto& name : terminal->files("TRANS"))
    for (const auto& record : terminal->file("TRANS\\" + name)) wireBytes += record.size() + 2;

  TTempDir dir;
  std::ofstream(dir.path + "PORTS.CFG") << "[Ports]\nCOM1=" << bus.slavePath() << "\n";
  TRealClock clock;
  TUnattendedUi ui;
  TProgram program(dir.path, clock, ui);
  TDM& dm = program.Start();
  TQuery q(dm.ADOC);
  dm.InsertRecord(q, "tTerminals", {TextValue("1"), TextValue("001"), TextValue("Bench"), IntValue(1)},
                  {"fsAddr", "fsTermNo", "fsLocation", "fnPort"});

  double seconds = 0;
  std::size_t words = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    std::string reply = dm.SendCommand("1", "TYPE TRANS\\");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    words = static_cast<std::size_t>(std::count(reply.begin(), reply.end(), ' ')) + 1;
    benchmark::DoNotOptimize(reply);
  }
  const double perSecond = static_cast<double>(wireBytes) * static_cast<double>(state.iterations()) / seconds;
  state.counters["wire_bytes"] = static_cast<double>(wireBytes);
  state.counters["records_received"] = static_cast<double>(words - 1);  // the last word is "*"
  state.counters["bytes_per_second"] = perSecond;
  state.counters["share_of_line_rate"] = perSecond / kLineBytesPerSecond;
  program.ShutDown();
}

// The target: at least 0.8 of the line rate.
void BM_TypeTrans10000AtLineRate(benchmark::State& state) {
  TypeTrans(state, kLineBytesPerSecond);
}
BENCHMARK(BM_TypeTrans10000AtLineRate)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Without a throttle: what the 30 ms polls and the pseudo-terminal's buffer allow.
void BM_TypeTrans10000Unthrottled(benchmark::State& state) {
  TypeTrans(state, 0);
}
BENCHMARK(BM_TypeTrans10000Unthrottled)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
