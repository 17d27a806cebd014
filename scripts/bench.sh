#!/usr/bin/env bash
# Builds the 32-bit program and runs the whole-program benchmarks under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target stage startup_bench minimal_window
. scripts/wine-env.sh
velmora_wine_setup
b=build/win32
wine "$b/tests/bench/startup_bench.exe" "$(winepath -w "$b/stage")" "$(winepath -w "$b/tests/bench/minimal_window.exe")" "${RUNS:-9}"
