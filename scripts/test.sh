#!/usr/bin/env bash
# Installs what is needed, builds everything from scratch and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
rm -rf build-test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 600
