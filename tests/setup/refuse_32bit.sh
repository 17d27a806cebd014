#!/usr/bin/env bash
# The 64-bit setup on a 32-bit Windows refuses to install, with a message. The
# shared test prefix is a 64-bit Windows, so this makes a 32-bit Wine prefix
# of its own (about half a minute), and removes it again.
#   refuse_32bit.sh velmora-setup-<version>-x64.exe
set -euo pipefail
setup=$1
work=$(mktemp -d /tmp/velmora-win32-prefix.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win32
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

wineboot -i >/dev/null 2>&1 || true
wineserver -w
if [ "$(wine cmd /c echo %PROCESSOR_ARCHITECTURE% </dev/null 2>/dev/null | tr -d '\r')" != x86 ]; then
  echo "the new prefix is not a 32-bit Windows" >&2
  exit 1
fi

fail=0
# Silently: no message to answer, the setup ends with an error.
code=0
wine "$setup" /S </dev/null >/dev/null 2>&1 || code=$?
if [ "$code" -ne 2 ]; then
  echo "silent setup ended with $code, expected 2 (refused)"
  fail=1
fi
# With a person there: the message shows, and nothing is installed.
wine "$setup" </dev/null >/dev/null 2>&1 &
setup_pid=$!
shown=no
for _ in $(seq 1 100); do
  if xdotool search --name '^Velmora .* Setup$' >/dev/null 2>&1; then shown=yes; break; fi
  sleep 0.2
done
if [ "$shown" != yes ]; then
  echo "no message window from the setup"
  fail=1
fi
[ -n "${VELMORA_SCREENSHOT:-}" ] && import -window root "$VELMORA_SCREENSHOT" || true
wineserver -k >/dev/null 2>&1 || true
wait "$setup_pid" 2>/dev/null || true

if find "$WINEPREFIX/drive_c" -iname 'Velmora.exe' | grep -q .; then
  echo "the 64-bit program was installed on a 32-bit Windows"
  fail=1
fi
[ "$fail" -eq 0 ] && echo "the 64-bit setup refuses a 32-bit Windows"
exit "$fail"
