#!/usr/bin/env bash
# Builds and runs every benchmark and writes docs/performance.md:
#   * under Wine (32-bit build): start-up to the visible toolbar and to a
#     usable menu, private memory after start-up, quick-menu opening, the
#     resource soaks (menus, paging, rebuilds, the Customize page, the icon
#     library, Net Search), the icon library on 2,000 icons, the Customize
#     page on 1,000 to 30,000 entries;
#   * natively: the quick-menu layout at 1,000 to 100,000 entries, timed and
#     counted in instructions by callgrind.
# Every benchmark prints FIGURE|name|goal|measured|ok/over lines; this script
# collects them into the table of docs/performance.md.
#
# Environment: WIN_BUILD_DIR (default build/win32), NATIVE_BUILD_DIR (default
# build/native-bench: optimized and without sanitizers, which callgrind and
# fair timings need), RUNS (timed runs, 9), JOBS (build jobs, 2), CYCLES,
# REBUILDS, CUST_SOAK, LIBRARY_SOAK, SEARCH_SOAK, ICONS, CUST_RUNS.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
win=${WIN_BUILD_DIR:-build/win32}
native=${NATIVE_BUILD_DIR:-build/native-bench}
jobs=${JOBS:-2}
runs=${RUNS:-9}
out=$root/docs/performance.md
log=$(mktemp /tmp/velmora-bench.XXXXXX)
began=$(date +%s)

bash scripts/deps.sh

echo "== build $win"
cmake --preset win32 -B "$win" >/dev/null
cmake --build "$win" -j "$jobs" --target stage startup_bench minimal_window minimal_window_libs menu_bench minimal_popup \
  resource_bench nop_browser library_bench customize_bench
echo "== build $native"
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DVELMORA_SANITIZE=OFF >/dev/null
cmake --build "$native" -j "$jobs" --target qmenu_bench qmenu_layout_once

# Each benchmark's output goes to the screen and to the log the table is made of.
# A benchmark that fails says so in its own FIGURE lines; its exit code is shown.
run() {
  echo
  echo "== $1"
  shift
  local rc=0
  "$@" 2>&1 | tee -a "$log" || rc=$?
  [ "$rc" -eq 0 ] || echo "(exit code $rc)"
}

echo "== native quick-menu layout"
{
  echo "quick-menu layout (native, $native)"
  "$native/tests/bench/native/qmenu_bench" --benchmark_format=json --benchmark_out="$log.json" \
    --benchmark_out_format=json >/dev/null
  python3 - "$log.json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
per = {}
for b in data["benchmarks"]:
    if b.get("run_type") == "aggregate" or "/" not in b["name"]:
        continue
    n = int(b["name"].split("/")[1])
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    per[n] = b["real_time"] * scale
for n in sorted(per):
    print(f"  {n:>7} entries  {per[n]:10.3f} ms  {per[n] * 1e6 / n:8.1f} ns per entry")
    print(f"FIGURE|quick-menu layout, {n:,} entries (native)|linear|{per[n]:.2f} ms ({per[n] * 1e6 / n:.0f} ns/entry)|info")
lo, hi = min(per), max(per)
growth = (per[hi] / hi) / (per[lo] / lo)
print(f"FIGURE|quick-menu layout growth, {lo:,} to {hi:,} entries|time per entry <= 2x|{growth:.2f}x|{'ok' if growth <= 2 else 'over'}")
PY
  counts=()
  for n in 1000 10000 100000; do
    valgrind --tool=callgrind --callgrind-out-file="$log.cg.$n" --collect-atstart=no \
      --toggle-collect='velmora::LayoutQuickMenu*' "$native/tests/bench/native/qmenu_layout_once" "$n" \
      >/dev/null 2>"$log.cg.err" || { cat "$log.cg.err"; exit 1; }
    ir=$(sed -n 's/^summary: *\([0-9]*\).*/\1/p;s/^totals: *\([0-9]*\).*/\1/p' "$log.cg.$n" | head -n 1)
    counts+=("$ir")
    echo "  callgrind, one layout of $n entries: $ir instructions ($((ir / n)) per entry)"
    echo "FIGURE|quick-menu layout instructions, $(printf "%'d" "$n") entries (callgrind)|linear|$ir ($((ir / n))/entry)|info"
  done
  per_lo=$((counts[0] / 1000)); per_hi=$((counts[2] / 100000))
  met=over; [ "$per_hi" -le $((per_lo * 2)) ] && met=ok
  echo "FIGURE|quick-menu layout instructions per entry, 1,000 to 100,000|<= 2x|$per_lo to $per_hi per entry|$met"
} 2>&1 | tee -a "$log"

. scripts/wine-env.sh
VELMORA_WINDOW_MANAGER=${VELMORA_WINDOW_MANAGER:-none} velmora_wine_setup
w() { winepath -w "$1"; }
run "start-up, usable, memory" wine "$win/tests/bench/startup_bench.exe" "$(w "$win/stage")" \
  "$(w "$win/tests/bench/minimal_window.exe")" "$runs" "$(w "$win/tests/bench/minimal_popup.exe")"
run "quick-menu opening" wine "$win/tests/bench/menu_bench.exe" "$(w "$win/stage")" \
  "$(w "$win/tests/bench/minimal_popup.exe")" "$runs"
run "resource soaks" wine "$win/tests/bench/resource_bench.exe" "$(w "$win/stage")" "${CYCLES:-500}" \
  "${REBUILDS:-50}" --icons "$(w data/icons)" --browser "$(w "$win/tests/bench/nop_browser.exe")" \
  --customize "${CUST_SOAK:-50}" --library "${LIBRARY_SOAK:-50}" --searches "${SEARCH_SOAK:-200}"
run "icon library" wine "$win/tests/bench/library_bench.exe" "$(w data/icons)" "${ICONS:-2000}" "$runs"
run "Customize page" wine "$win/tests/bench/customize_bench.exe" "$(w "$win/stage")" "${CUST_RUNS:-3}"

# ---- docs/performance.md ---------------------------------------------------------
figures=$(grep -a '^FIGURE|' "$log" | tr -d '\r' || true)
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
ram=$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
dirty=$(git status --porcelain 2>/dev/null | grep -q . && echo " (with uncommitted changes)" || true)
{
  echo "# Performance"
  echo
  echo "Written by \`bash scripts/bench.sh\`, which builds and runs every benchmark;"
  echo "each figure below is one \`FIGURE\` line a benchmark printed. Timings under"
  echo "Wine are compared with bare Win32 programs run in turns on the same machine"
  echo "(\`tests/bench/minimal_window.cpp\`, \`tests/bench/minimal_popup.cpp\`), so the"
  echo "ratios are what counts; a shared or busy machine makes them noisy."
  echo
  echo "| | |"
  echo "|---|---|"
  echo "| date | $(date -u '+%Y-%m-%d %H:%M UTC') |"
  echo "| commit | \`$commit\`$dirty |"
  echo "| CPU | $cpu |"
  echo "| cores | $(nproc) |"
  echo "| RAM | $ram |"
  echo "| Wine | $(wine --version 2>/dev/null || echo unknown) |"
  echo "| timed runs | $runs (median) |"
  echo "| run time | $(( ($(date +%s) - began) / 60 )) min |"
  echo
  echo "## Figures"
  echo
  echo "| figure | goal | measured | met? |"
  echo "|---|---|---|---|"
  while IFS='|' read -r _ name goal measured met; do
    [ -n "$name" ] || continue
    case $met in ok) mark=yes ;; info) mark="—" ;; *) mark="**NO** ($met)" ;; esac
    echo "| $name | $goal | $measured | $mark |"
  done <<<"$figures"
  echo
  echo "## What each figure measures"
  echo
  cat <<'NOTES'
* **start-up to visible toolbar**: process start to the toolbar on the screen,
  30 menu buttons of 10 entries and 20 single buttons, against a program that
  only shows one window (`startup_bench`).
* **start-up to usable**: process start to the first menu button's quick menu
  opened by a click and painted; the goal is 1.5 times the bare window's
  start plus the click-to-painted time of a bare popup (`startup_bench`).
* **quick menu first opening / re-opening**: a click on a 40-entry menu with
  file icons to the menu painted, in a fresh process and again after Esc,
  against a bare program showing one popup on a click (`menu_bench`).
* **quick-menu layout**: the portable layout of 1,000 to 100,000 entries,
  timed natively (Google Benchmark) and counted in instructions of one layout
  by `valgrind --tool=callgrind`; the cost per entry must not grow
  (`tests/bench/native`).
* **soak**: a scenario repeated with the program's own GDI object, icon and
  window counts read before and after (after one warm-up round and once its
  idle work is done) and its private memory; the counts must not change and
  memory must grow by less than 1 MB (`resource_bench`).
* **icon library first view**: a fresh library window on 2,000 icons until
  All Categories is painted (`library_bench`).
* **Customize page**: "Customize Velmora" chosen until the page answers, and
  "Update Toolbar" until the files are written and the toolbar rebuilt, with
  10, 100 and 300 menu buttons of 100 entries (`customize_bench`).
* **private memory after start-up**: committed private memory once the
  program is idle, next to the bare window program's; `startup_bench` prints
  the program's objects by kind and what its prebuilt quick menus hold.
NOTES
} >"$out"

echo
echo "== figures (goal -> measured)"
while IFS='|' read -r _ name goal measured met; do
  [ -n "$name" ] || continue
  printf '  %-62s goal %-32s measured %-40s %s\n' "$name" "$goal" "$measured" "$met"
done <<<"$figures"
echo
echo "wrote $out in $(( ($(date +%s) - began) / 60 )) min"
rm -f "$log" "$log".*
