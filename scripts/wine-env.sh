# Sourced by the run and test scripts: a private X display, HOME and Wine prefix
# for this run, all under one temporary folder that is removed at exit.
#   velmora_wine_setup   creates everything and exports the variables
#   velmora_wine_teardown ends Wine and the display

velmora_wine_setup() {
  VELMORA_RUN_DIR=$(mktemp -d /tmp/velmora-run.XXXXXX)
  export VELMORA_RUN_DIR
  export HOME=$VELMORA_RUN_DIR/home
  export WINEPREFIX=$VELMORA_RUN_DIR/prefix
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export XDG_RUNTIME_DIR=$VELMORA_RUN_DIR/xdg
  mkdir -p "$HOME/Desktop" "$HOME/Documents" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"

  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    local n=${VELMORA_DISPLAY:-77}
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start" >&2; return 1; }
    # Wine hands every window it has activated to the window manager, which
    # then places it as it likes. Tests run without one so that windows stay
    # exactly where the program puts them; a person using the program gets
    # openbox for window frames.
    if [ "${VELMORA_WINDOW_MANAGER:-openbox}" = openbox ]; then
      openbox >/dev/null 2>&1 &
      VELMORA_WM_PID=$!
    fi
  fi

  echo "Creating a Wine prefix in $WINEPREFIX ..."
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # A crash must fail the test, not wait on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Without a window manager, Wine must not treat windows as managed: hiding
  # one it thinks managed waits two seconds for a window manager's answer
  # that never comes, and the program stalls in the middle of its work.
  if [ "${VELMORA_WINDOW_MANAGER:-openbox}" != openbox ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  fi
  wineserver -w
  # Keep one wineserver alive for the whole run so each test starts quickly,
  # and bring Wine's own services up now: started later by a test, they would
  # inherit CTest's output pipe and keep it open after the test ends.
  wineserver -p >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  trap velmora_wine_teardown EXIT
}

velmora_wine_teardown() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${VELMORA_WM_PID:-}" ] && kill "$VELMORA_WM_PID" 2>/dev/null || true
  [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null || true
  [ -n "${VELMORA_RUN_DIR:-}" ] && rm -rf "$VELMORA_RUN_DIR"
  return 0
}
