#!/bin/bash
# The Wine test bed of the end-to-end tests and of the demo.
#   wine.sh start <state dir> <programs dir>   X server, Wine prefix, a keeper
#   wine.sh stop <state dir>      stops what start started, by process id
#   wine.sh run <state dir> <dowtrane.exe> <programs dir> <suite>... [-only <case>]
# The state dir holds the prefix (kept between runs: its first start takes
# half a minute, later ones a fraction of a second), the work dirs and the
# process ids.
set -euo pipefail

command=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEARCH=win64
base_overrides="mscoree,mshtml="

load_env() {
  [ -f "$state/env" ] || { echo "wine.sh: the test bed is not started ($state)" >&2; exit 2; }
  # shellcheck disable=SC1091
  . "$state/env"
  export DISPLAY
}

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

start() {
  if [ -f "$state/env" ]; then
    . "$state/env"
    if alive "${XVFB_PID:-}" && alive "${KEEPER_PID:-}"; then return 0; fi
    stop
  fi
  local display=90
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 4096x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  local xvfb=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.05
  done
  export DISPLAY=":$display"
  printf 'DISPLAY=%s\nXVFB_PID=%s\n' "$DISPLAY" "$xvfb" >"$state/env"

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEDLLOVERRIDES="$base_overrides" wineboot -i >"$state/wineboot.log" 2>&1
  fi
  # Without a window manager, Wine waits two seconds for every managed
  # window to be withdrawn; unmanaged windows close at once.
  WINEDLLOVERRIDES="$base_overrides" wine reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Managed /d N /f >/dev/null 2>&1

  # The keeper holds the Wine desktop open for the whole run, so that the
  # test processes, which run with different overrides, never start it.
  : >"$state/keeper.txt"
  rm -f "$state/keeper-journal.txt"
  WINEDLLOVERRIDES="$base_overrides" nohup wine "$PROGRAMS_DIR/testclient.exe" \
    "$(winepath -w "$state/keeper.txt")" "$(winepath -w "$state/keeper-journal.txt")" \
    "$(winepath -w "$state/keeper-map.txt")" "dowtrane-keeper" >"$state/keeper.log" 2>&1 &
  printf 'KEEPER_PID=%s\n' "$!" >>"$state/env"
  for _ in $(seq 200); do
    [ -f "$state/keeper-journal.txt" ] && break
    sleep 0.05
  done
}

stop() {
  if [ -f "$state/env" ]; then
    . "$state/env"
    export DISPLAY
    wineserver -k 2>/dev/null || true
    alive "${KEEPER_PID:-}" && kill "$KEEPER_PID" 2>/dev/null || true
    alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null || true
    rm -f "$state/env"
  fi
}

run() {
  load_env
  local exe=$1 programs=$2
  shift 2
  local args=() a
  for a in "$@"; do
    if [ -f "$a" ]; then args+=("$(winepath -w "$a")"); else args+=("$a"); fi
  done
  local work
  work="$state/work-$(basename "$(dirname "$exe")")"
  mkdir -p "$work"
  # explorer.exe=n: the recorder copy named explorer.exe stands in for the shell.
  WINEDLLOVERRIDES="$base_overrides;explorer.exe=n" wine "$programs/driver.exe" \
    "$(winepath -w "$exe")" "$(winepath -w "$programs/testclient.exe")" \
    "$(winepath -w "$programs/recorder.exe")" "$(winepath -w "$work")" "${args[@]}" \
    2> >(grep -v 'failed to open.*explorer.exe' >&2)
}

case $command in
  start) PROGRAMS_DIR=$1 start ;;
  stop) stop ;;
  run) run "$@" ;;
  *) echo "usage: wine.sh start|stop|run <state dir> ..." >&2; exit 2 ;;
esac
