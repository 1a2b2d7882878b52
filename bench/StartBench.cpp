// Cold start of the windowed program to its main window on screen, beside a bare Qt main window, each a
// whole process (korvo_start_probe beside this program), in the same run.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchSupport.h"

extern char** environ;

namespace {

std::string Probe() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "korvo_start_probe").string();
}

double RunProbe(const char* what, const std::string& folder) {
  const std::string probe = Probe();
  char* args[] = {const_cast<char*>(probe.c_str()), const_cast<char*>(what),
                  const_cast<char*>(folder.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, probe.c_str(), nullptr, nullptr, args, environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ColdStartBesideEmptyQtWindow(benchmark::State& state) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  korvo::bench::TTempDir dir;
  // The first start creates the database (and hashes the first password): not a cold start of a
  // program in service.
  if (RunProbe("main", dir.path) < 0) state.SkipWithError("the probe failed");
  double ours = 0, empty = 0;
  int n = 0;
  for (auto _ : state) {
    for (int i = 0; i < 10; ++i, ++n) {
      ours += RunProbe("main", dir.path);
      empty += RunProbe("empty", dir.path);
    }
  }
  state.counters["ours_ms"] = 1000 * ours / n;
  state.counters["empty_qt_ms"] = 1000 * empty / n;
  state.counters["ratio"] = ours / empty;
}
BENCHMARK(BM_ColdStartBesideEmptyQtWindow)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
