#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# native unit tests (ASan/UBSan), a short run of every fuzz target (clang,
# libFuzzer), then the Windows and end-to-end tests of the 32- and 64-bit
# builds under Wine on a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/deps.sh

for preset in native fuzz win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

echo "== test native"
ctest --preset native -j "$jobs"
echo "== test fuzz"
ctest --preset fuzz -j "$jobs"

. scripts/wine-env.sh
VELMORA_WINDOW_MANAGER=none velmora_wine_setup
for preset in win32 win64; do
  echo "== test $preset"
  ctest --preset "$preset"
done
