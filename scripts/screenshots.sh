#!/usr/bin/env bash
# Retakes the README's screenshots (docs/*.png) of the current build: the simulator plays two serial
# terminals and one network terminal on loopback, korvo2k-cli fills a fresh program folder (terminals,
# cardholders, a download), and korvo_screenshots opens every tool window under Xvfb.
#   bash scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -d "$build" ] || cmake -S . -B "$build"
cmake --build "$build" -j"$(nproc)" --target korvo_screenshots korvo2k-cli korvo-sim
work=$(mktemp -d)
cleanup() { [ -n "${sim:-}" ] && kill "$sim" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

"$build/bin/korvo-sim" --serial --addr 1,2 --tcp 0 --records 120 --days 6 --seed 7 --no-stdin >"$work/sim.out" &
sim=$!
for _ in $(seq 50); do [ "$(wc -l <"$work/sim.out")" -ge 2 ] && break; sleep 0.1; done
pty=$(sed -n 1p "$work/sim.out")
port=$(sed -n 2p "$work/sim.out")

data="$work/data"
mkdir -p "$data"
cp src/store/UPLOAD.CFG "$data/"
printf '[Ports]\r\nCOM1=%s\r\n' "$pty" >"$data/PORTS.CFG"
cli=("$build/bin/korvo2k-cli" --folder "$data")
"${cli[@]}" terminals add 1 --termno 001 --location "Main Gate" --port 1 2>/dev/null
"${cli[@]}" terminals add 2 --termno 002 --location "Warehouse" --port 1
"${cli[@]}" terminals add 127.0.0.1 --termno 003 --location "Office" --port "$port"
"${cli[@]}" cards add 1 00001234 --id E-17 --name "Ada Palmer" --pin 123456
"${cli[@]}" cards add 1 00005678 --id E-21 --name "Ben Okafor"
"${cli[@]}" cards add 1 00009012 --id E-34 --name "Chen Li" --relay 1
"${cli[@]}" load --all >/dev/null

xvfb-run -a -s "-screen 0 1280x800x24" "$build/docs/korvo_screenshots" --folder "$data" --out docs
