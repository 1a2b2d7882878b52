#!/usr/bin/env bash
# Installs what is needed, builds everything from scratch and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
rm -rf build-test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600)

# The suite again under AddressSanitizer and UndefinedBehaviorSanitizer, built with clang, with
# each fuzz target run a few seconds from its seed corpus (label "fuzz"), and the threaded tests under
# ThreadSanitizer. KORVO_SKIP_SANITIZERS=1 leaves this out for a quick local run.
if [ "${KORVO_SKIP_SANITIZERS:-0}" != 1 ]; then
  for p in clang libclang-rt-14-dev; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      sudo=""
      [ "$(id -u)" -eq 0 ] || sudo="sudo"
      $sudo apt-get update -qq
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
      break
    fi
  done
  rm -rf build-asan
  cmake --preset asan -DKORVO_BUILD_UI=OFF
  cmake --build build-asan -j"$(nproc)"
  ctest --preset asan -j"$(nproc)"

  # The threaded parts under ThreadSanitizer: the online monitor's receiving threads, the simulator's
  # threads, and downloads against it.
  rm -rf build-tsan
  cmake --preset tsan -DKORVO_BUILD_UI=OFF
  threaded=(korvo_online_tests korvo_sim_tests korvo_collect_sim_tests)
  cmake --build build-tsan -j"$(nproc)" --target "${threaded[@]}"
  for t in "${threaded[@]}"; do
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "build-tsan/tests/$t" --gtest_brief=1
  done
fi
