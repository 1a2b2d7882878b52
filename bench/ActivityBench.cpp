// The Activities page over a million stored activities: the first screen, a card and time filter,
// sorting, the attendance report and the peak memory, each beside the sqlite3 shell running the same
// statement on the same file in the same run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <variant>

#include "BenchSupport.h"
#include "cards/ActivityExport.h"
#include "cards/ActivityRows.h"
#include "store/Clock.h"
#include "store/DataMod.h"
#include "store/Program.h"

namespace {

using namespace korvo;

constexpr int kActivities = 1000000;
constexpr int kScreen = 50;

struct TWorld {
  bench::TTempDir dir;
  TRealClock clock;
  TUnattendedUi ui;
  std::unique_ptr<TProgram> program;
  TDM* dm = nullptr;
  TWorld() {
    program = std::make_unique<TProgram>(dir.path, clock, ui);
    dm = &program->Start();
    TDatabase& db = dm->ADOC;
    for (int t = 1; t <= 10; ++t) {
      char n[8];
      std::snprintf(n, sizeof n, "%03d", t);
      db.Execute("INSERT INTO tTerminals (fsAddr, fsTermNo, fsLocation) VALUES (?, ?, ?)",
                 {"10.0.0." + std::to_string(t), std::string(n), "Door " + std::to_string(t)});
    }
    db.ExecScript(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<1999) "
        "INSERT INTO tEmployees (fsCardNo, fsIDNo, fsName) SELECT 400000+i, 'E'||i, 'Holder '||(1999-i) FROM "
        "n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<" +
        std::to_string(kActivities - 1) +
        ") INSERT INTO tActivities SELECT 400000+i%2000, datetime('2026-01-01', '+'||(i*31)||' seconds'), "
        "CASE i%2 WHEN 0 THEN 'I' ELSE 'O' END, printf('%02d', i%3), printf('%03d', 1+i%10), '00' FROM n;"
        "ANALYZE;");
  }
};

TWorld& World() {
  static TWorld world;
  return world;
}

std::string Literal(const TValue& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return "'" + *s + "'";
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  return "NULL";
}

// The statement with its values written in, for the shell.
std::string Pasted(const TSqlText& q) {
  std::string sql;
  std::size_t next = 0;
  for (char c : q.sql) sql += c == '?' ? Literal(q.params.at(next++)) : std::string(1, c);
  return sql;
}

double ShellSeconds(const std::string& sql) {
  const std::string file = World().dir.path + "q.sql";
  std::ofstream(file) << sql << ";\n";
  const auto start = std::chrono::steady_clock::now();
  const std::string command = "sqlite3 '" + World().dm->DatabasePath() + "' < '" + file + "' > /dev/null";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "sqlite3 failed on %s\n", sql.c_str());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Plan(const char* what, const TSqlText& q) {
  TRowCursor plan(World().dm->ADOC, {"EXPLAIN QUERY PLAN " + q.sql, q.params});
  std::fprintf(stderr, "plan of %s:\n", what);
  while (plan.Next()) std::fprintf(stderr, "  %s\n", plan.Text(3).c_str());
}

void PeakMemory(benchmark::State& state) {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::error_code ec;
  const auto onDisk = std::filesystem::file_size(World().dm->DatabasePath(), ec);
  if (!ec) state.counters["database_MB"] = static_cast<double>(onDisk) / (1024.0 * 1024.0);
}

const TActivityRun kAll{TActivityForm::View, {}, ""};
const TActivityRun kFiltered{
    TActivityForm::View, {"400100", "400199", "20260301000000", "20260331235959"}, ""};

TSqlText Screen(const TActivityRun& run, int offset) {
  TSqlText q = ActivityQuery(run);
  q.sql += "LIMIT " + std::to_string(kScreen) + " OFFSET " + std::to_string(offset);
  return q;
}

// A screen as the page opens it: the first rows, then the count (which keeps the run's rowids).
void Page(benchmark::State& state, const TActivityRun& run) {
  int count = 0;
  for (auto _ : state) {
    TActivityRowSource source(World().dm->ADOC, run);
    benchmark::DoNotOptimize(source.Fetch(0, kScreen));
    count = source.Count();
  }
  state.counters["rows"] = count;
  PeakMemory(state);
}

// Scrolling once the page is open: windows anywhere in the list.
void Scroll(benchmark::State& state, const TActivityRun& run) {
  TActivityRowSource source(World().dm->ADOC, run);
  const int count = source.Count();
  int offset = 0;
  for (auto _ : state) {
    offset = (offset + 377777) % (count - kScreen);
    benchmark::DoNotOptimize(source.Fetch(offset, kScreen));
  }
  PeakMemory(state);
}

void ShellPage(benchmark::State& state, const TActivityRun& run, int offset) {
  const std::string sql =
      (offset == 0 ? Pasted(ActivityCountQuery(run)) + ";\n" : "") + Pasted(Screen(run, offset));
  for (auto _ : state) state.SetIterationTime(ShellSeconds(sql));
}

const TActivityRun kByTime{TActivityForm::Short, {}, "ftTime"};
const TActivityRun kByName{TActivityForm::Short, {}, "fsName"};

void BM_FirstRows(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(TActivityRowSource(World().dm->ADOC, kAll).Fetch(0, kScreen));
}
void BM_FirstScreen(benchmark::State& s) {
  Page(s, kAll);
}
void BM_FirstScreenShell(benchmark::State& s) {
  ShellPage(s, kAll, 0);
}
void BM_CardAndTime(benchmark::State& s) {
  Page(s, kFiltered);
}
void BM_CardAndTimeShell(benchmark::State& s) {
  ShellPage(s, kFiltered, 0);
}
void BM_SortByTime(benchmark::State& s) {
  Page(s, kByTime);
}
void BM_SortByTimeShell(benchmark::State& s) {
  ShellPage(s, kByTime, 0);
}
void BM_SortByName(benchmark::State& s) {
  Page(s, kByName);
}
void BM_SortByNameShell(benchmark::State& s) {
  ShellPage(s, kByName, 0);
}
void BM_ScrollByName(benchmark::State& s) {
  Scroll(s, kByName);
}
void BM_ScrollByNameShell(benchmark::State& s) {
  ShellPage(s, kByName, kActivities / 2);
}
void BM_ScrollView(benchmark::State& s) {
  Scroll(s, kAll);
}
void BM_ScrollViewShell(benchmark::State& s) {
  ShellPage(s, kAll, kActivities / 2);
}

void BM_Attendance(benchmark::State& state) {
  int records = 0;
  for (auto _ : state)
    records = SaveActivities(World().dm->ADOC, kAll, TActivitySaveType::Filo, World().dir.path + "filo.dbf",
                             "", {2026, 12, 9})
                  .records;
  state.counters["records"] = records;
  PeakMemory(state);
}
void BM_AttendanceShell(benchmark::State& state) {
  const std::string sql =
      "SELECT A.fsCardNo,substr(A.ftTime,1,10),min(A.ftTime),max(A.ftTime),E.fsIDNo,E.fsName FROM "
      "tActivities A "
      "LEFT JOIN tEmployees E ON A.fsCardNo=E.fsCardNo GROUP BY A.fsCardNo,substr(A.ftTime,1,10) ORDER BY "
      "A.fsCardNo,substr(A.ftTime,1,10)";
  for (auto _ : state) state.SetIterationTime(ShellSeconds(sql));
}

void ShowPlans() {
  Plan("the first screen", Screen(kAll, 0));
  Plan("the count", ActivityCountQuery(kAll));
  Plan("card and time", Screen(kFiltered, 0));
  Plan("sort by time", Screen(kByTime, 0));
  Plan("the rowids sorted by name", ActivityIdQuery(kByName));
  Plan("a window by rowid", ActivityRowsQuery(kByName, {1, 2, 3}));
}

}  // namespace

BENCHMARK(BM_FirstRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstScreen)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstScreenShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_CardAndTime)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CardAndTimeShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_SortByTime)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortByTimeShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortByNameShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_ScrollByName)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_ScrollByNameShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_ScrollView)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_ScrollViewShell)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_Attendance)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AttendanceShell)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const auto start = std::chrono::steady_clock::now();
  World();
  std::fprintf(stderr, "%d activities generated in %.1f s\n", kActivities,
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  ShowPlans();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
