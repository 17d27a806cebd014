#!/usr/bin/env bash
# Installs what is missing, builds the 32-bit program and starts it under Wine in
# the staged program folder. Without a display it starts Xvfb of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$(nproc)" --target stage

stage=$PWD/build/win32/stage
own_display=no
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then own_display=yes; fi

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$own_display" = yes ]; then
  . scripts/wine-env.sh
  velmora_wine_setup
  echo "Velmora runs on display $DISPLAY. Take a screenshot with:"
  echo "  DISPLAY=$DISPLAY import -window root velmora.png"
fi
echo "Starting $stage/Velmora.exe (Ctrl+C ends it)"
cd "$stage"
wine ./Velmora.exe
wineserver -w
