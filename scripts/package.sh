#!/usr/bin/env bash
# Builds what ships, for 32- and 64-bit Windows, and collects it in build/dist:
#   velmora-setup-2.5-x86.exe  velmora-setup-2.5-x64.exe   the setup programs
#   velmora-2.5-x86.zip        velmora-2.5-x64.zip         the program folders
# The help (velmora.hlp, .cnt, .chm) is in both. Each preset builds its `dist`
# target: the program, its data, the help, then the zip and the setup.
#
# VELMORA_BUILD_ROOT=<folder> builds in <folder>/win32 and <folder>/win64
# instead of build/win32 and build/win64, and collects in <folder>/dist.
# VELMORA_JOBS sets the parallel jobs of the build (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

root=${VELMORA_BUILD_ROOT:-}
jobs=${VELMORA_JOBS:-2}
dist=${root:-build}/dist
mkdir -p "$dist"

for preset in win32 win64; do
  echo "== $preset"
  if [ -n "$root" ]; then
    cmake --preset "$preset" -B "$root/$preset" >/dev/null
    cmake --build "$root/$preset" -j "$jobs" --target dist
    out=$root/$preset/dist
  else
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs" --target dist
    out=build/$preset/dist
  fi
  cp "$out"/velmora-*.exe "$out"/velmora-*.zip "$dist"/
done

echo "== $dist"
ls -l "$dist"
