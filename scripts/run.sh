#!/usr/bin/env bash
# Installs what is needed, builds the utility and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVO_BUILD_TESTS=OFF -DKORVO_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target korvo2k korvo2k-cli korvo-sim korvo_upload_cfg
exec build/bin/korvo2k
