#!/usr/bin/env bash
# The long fuzz runs: every target of tests/fuzz until 10 million executions
# or an hour (FUZZ_SECONDS), JOBS at a time, each from its seeds plus what
# earlier long runs found (kept in build/fuzz/long/<target>, so runs add up).
# Prints one line a target: executions, seconds and findings of this run, and
# the totals of every long run so far (each run appends to <target>.log).
# TARGETS="menu_file qmenu" picks some targets. Not part of the test command,
# which runs each target for a few seconds only.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-3600}
jobs=${JOBS:-2}
bash scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
bin=build/fuzz/tests/fuzz
long=build/fuzz/long
mkdir -p "$long/artifacts"

# Maximum input lengths as the test command uses them (tests/fuzz/CMakeLists.txt).
targets=(icon_library:4096 icon_category:2048 menu_file:8192 options:64 toolbar_pos:16
         engines:2048 search_history:2048 openurl:1024 httpicon:1024 qmenu:4096 cust:4096
         icon_image:16384)

if [[ -n ${TARGETS:-} ]]; then
  picked=()
  for t in "${targets[@]}"; do
    [[ " $TARGETS " == *" ${t%%:*} "* ]] && picked+=("$t")
  done
  targets=("${picked[@]}")
fi

run() {
  local name=${1%%:*} len=${1##*:} log="$long/${1%%:*}.log"
  mkdir -p "$long/$name"
  echo "== run of $(date -u '+%F %T')" >>"$log"
  "$bin/${name}_fuzz" -runs=10000000 -max_total_time="$seconds" -max_len="$len" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$long/artifacts/$name-" "$long/$name" "tests/fuzz/corpus/$name" \
    >>"$log" 2>&1 || true
  local findings
  findings=$(find "$long/artifacts" -name "$name-*" | wc -l)
  # "Done N runs in S second(s)": the last line is this run, the sum is every run.
  grep -aE '^Done [0-9]+ runs in [0-9]+ second' "$log" | awk -v n="$name" -v f="$findings" '
    { runs += $2; secs += $5; last_runs = $2; last_secs = $5 }
    END { printf "%-15s %10d executions %6d s  (all runs: %d executions, %d s)  %s findings\n",
                 n, last_runs, last_secs, runs, secs, f }'
}

for ((i = 0; i < ${#targets[@]}; i += jobs)); do
  for t in "${targets[@]:i:jobs}"; do run "$t" & done
  wait
done
