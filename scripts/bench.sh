#!/usr/bin/env bash
# Builds the 32-bit program and runs the whole-program benchmarks under Wine:
# start-up, menu opening, resources (object counts and memory over use), the
# icon library window on 2,000 icons, and the Customize page on 1,000 to
# 30,000 entries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target stage startup_bench minimal_window menu_bench minimal_popup resource_bench library_bench customize_bench
. scripts/wine-env.sh
velmora_wine_setup
b=build/win32
wine "$b/tests/bench/startup_bench.exe" "$(winepath -w "$b/stage")" "$(winepath -w "$b/tests/bench/minimal_window.exe")" "${RUNS:-9}"
echo
wine "$b/tests/bench/menu_bench.exe" "$(winepath -w "$b/stage")" "$(winepath -w "$b/tests/bench/minimal_popup.exe")" "${RUNS:-9}"
echo
wine "$b/tests/bench/resource_bench.exe" "$(winepath -w "$b/stage")" "${CYCLES:-500}" "${REBUILDS:-50}"
echo
wine "$b/tests/bench/library_bench.exe" "$(winepath -w data/icons)" "${ICONS:-2000}" "${RUNS:-9}"
echo
wine "$b/tests/bench/customize_bench.exe" "$(winepath -w "$b/stage")" "${CUST_RUNS:-3}"
