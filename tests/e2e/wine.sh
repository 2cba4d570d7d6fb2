#!/bin/bash
# The Wine test bed of the end-to-end tests and of the demo.
#   wine.sh start <state dir> <programs dir 32> <programs dir 64> [cp932]
#                                 X server, Wine prefix, a keeper; with
#                                 cp932, every Wine process of this state
#                                 dir runs under the Japanese locale
#                                 (DOWTRANE_CP932_LOCALE), and so with the
#                                 ANSI code page 932
#   wine.sh stop <state dir>      stops what start started, by process id
#   wine.sh run <state dir> <dowtrane.exe> <programs dir> <suite>... [-only <case>]
#                                 the test client and the recorder of
#                                 <programs dir>; the driver of <programs dir
#                                 64> given to start, whatever the run: it reads
#                                 what each program the run starts was started
#                                 as, which a 32-bit program cannot read of a
#                                 64-bit one (the Windows folder's shell is one)
#   wine.sh kind                  prints the Wine this host uses: wow64 or win64
# The state dir holds, per kind of Wine, the prefix (kept between runs: its
# first start takes half a minute, later ones a fraction of a second), the
# work dirs and the process ids. On a host without 32-bit programs ("win64",
# see scripts/common.sh) a run that needs a 32-bit program ends with the
# status CTest counts as skipped, and says why. A state dir started with cp932
# has a prefix of its own: the prefix keeps the locale it was made
# under in its registry.
set -eEuo pipefail
DOWTRANE_SCRIPT=tests/e2e/wine.sh
. "$(dirname "$0")/../../scripts/common.sh"

command=$1
[ "$command" = kind ] && { wine_kind; exit 0; }
kind=$(wine_kind)
use_wine "$kind"
base=$(mkdir -p "$2" && cd "$2" && pwd)
state=$base/$kind
mkdir -p "$state"
shift 2

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
# winemenubuilder.exe=d: the shortcuts that /bind writes into the Start
# menu do not become menu entries of the Linux desktop.
base_overrides="mscoree,mshtml=;winemenubuilder.exe=d"

load_env() {
  [ -f "$state/env" ] ||
    fail "the test bed is not started ($state)" "the output of 'wine.sh start' (CTest: e2e.setup)"
  # shellcheck disable=SC1091
  . "$state/env"
  export DISPLAY
  use_locale "${LOCALE:-}"
}

# Wine takes the locale, and with it the ANSI code page, from LC_ALL.
use_locale() {
  [ -n "$1" ] || return 0
  locale_has_utf8 "$1" ||
    fail "the locale $1 is not generated on this host" "scripts/setup.sh, which generates it"
  export LC_ALL=$1 LANG=$1
}

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

winpath() { "$WINE" winepath -w "$1" 2>/dev/null; }

start() {
  local programs=$1 locale=$2 drivers=$3
  [ -f "$drivers/driver.exe" ] || fail "no driver at $drivers/driver.exe" "the build of the windows presets"
  # Written whether or not the bed is up already: it names the driver of the runs.
  printf '%s\n' "$(cd "$drivers" && pwd)/driver.exe" >"$state/driver"
  if [ -f "$state/env" ]; then
    . "$state/env"
    if alive "${XVFB_PID:-}" && alive "${KEEPER_PID:-}"; then return 0; fi
    stop
  fi
  echo "wine.sh: $kind Wine${reason:+ ($reason)}; test programs from $programs${locale:+; locale $locale}"
  use_locale "$locale"
  [ -f "$programs/testclient.exe" ] ||
    fail "no test client at $programs/testclient.exe" "the build of the windows presets"

  step "starting Xvfb" "$state/xvfb.log"
  local display=90
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 4096x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  local xvfb=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    alive "$xvfb" || break
    sleep 0.05
  done
  [ -e "/tmp/.X11-unix/X$display" ] || fail "Xvfb did not start on :$display" "$state/xvfb.log"
  export DISPLAY=":$display"
  printf 'DISPLAY=%s\nXVFB_PID=%s\nLOCALE=%s\n' "$DISPLAY" "$xvfb" "$locale" >"$state/env"

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "creating the Wine prefix ($kind)" "$state/wineboot.log"
    WINEDLLOVERRIDES="$base_overrides" "$WINE" wineboot -i >"$state/wineboot.log" 2>&1
    # The registry files appear when the server writes them out, later.
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] ||
      fail "wineboot made no prefix" "$state/wineboot.log"
  fi
  # Wine links the user's Desktop to the host's home (or its desktop
  # folder). The cases' shortcuts on the Desktop belong to the prefix alone:
  # none is left in the host's home, and none of the host's decides a case.
  local desktop
  for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$desktop" ]; then
      rm "$desktop" && mkdir "$desktop" ||
        fail "the prefix's Desktop could not be made a folder of its own" "$desktop"
    fi
  done
  # Without a window manager, Wine waits two seconds for every managed
  # window to be withdrawn; unmanaged windows close at once.
  step "configuring the Wine prefix" "$state/wineboot.log"
  WINEDLLOVERRIDES="$base_overrides" "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Managed /d N /f >>"$state/wineboot.log" 2>&1

  # The keeper holds the Wine desktop open for the whole run, so that the
  # test processes, which run with different overrides, never start it.
  step "starting the keeper (a test client without windows)" "$state/keeper.log"
  : >"$state/keeper.txt"
  rm -f "$state/keeper-journal.txt"
  local scenario journal map
  scenario=$(winpath "$state/keeper.txt")
  journal=$(winpath "$state/keeper-journal.txt")
  map=$(winpath "$state/keeper-map.txt")
  WINEDLLOVERRIDES="$base_overrides" nohup "$WINE" "$programs/testclient.exe" \
    "$scenario" "$journal" "$map" "dowtrane-keeper" >"$state/keeper.log" 2>&1 &
  local keeper=$!
  printf 'KEEPER_PID=%s\n' "$keeper" >>"$state/env"
  for _ in $(seq 300); do
    [ -f "$state/keeper-journal.txt" ] && break
    alive "$keeper" || break
    sleep 0.05
  done
  [ -f "$state/keeper-journal.txt" ] || fail "the keeper did not start" "$state/keeper.log"
}

stop() {
  local dir
  for dir in "$base"/*/; do
    [ -f "$dir/env" ] || continue
    (
      . "$dir/env"
      export DISPLAY WINEPREFIX="$dir/prefix"
      wineserver -k 2>/dev/null || true
      alive "${KEEPER_PID:-}" && kill "$KEEPER_PID" 2>/dev/null || true
      alive "${XVFB_PID:-}" && kill "$XVFB_PID" 2>/dev/null || true
    )
    rm -f "$dir/env"
  done
}

run() {
  local exe=$1 programs=$2 driver
  shift 2
  if [ "$kind" = win64 ] && { pe_is_32bit "$exe" || pe_is_32bit "$programs/testclient.exe"; }; then
    echo "SKIPPED: this run needs 32-bit Windows programs, and $reason"
    exit "$DOWTRANE_SKIP_STATUS"
  fi
  load_env
  driver=$(cat "$state/driver" 2>/dev/null) ||
    fail "no driver named in $state/driver" "the output of 'wine.sh start' (CTest: e2e.setup)"
  step "running the driver with $exe" "the driver's lines above"
  local args=() a
  for a in "$@"; do
    if [ -f "$a" ]; then args+=("$(winpath "$a")"); else args+=("$a"); fi
  done
  local work
  work="$state/work-$(basename "$(dirname "$exe")")-$(basename "$(dirname "$(dirname "$(dirname "$programs")")")")"
  mkdir -p "$work"
  # A program named explorer.exe is Wine's own unless told otherwise: a
  # recorder copy of that name must run as itself (n), while the Windows
  # folder's own stays Wine's (b), which gets as far as the first debug event
  # at which the driver ends it (as a program of its own it would fail to
  # load before that). The programs of the runs take the overrides from here,
  # whatever the driver sets in its own environment.
  local shell
  shell="$(winpath "$WINEPREFIX/drive_c/windows")\explorer.exe"
  # On a busy host Wine now and then fails to start the driver at all
  # ("ShellExecuteEx failed"); nothing has run then, so it is started once
  # more. Any other failure is the driver's own, and stands.
  local errors=$work/driver-stderr.txt attempt status
  for attempt in 1 2; do
    status=0
    WINEDLLOVERRIDES="$base_overrides;explorer.exe=n;$shell=b" "$WINE" "$driver" \
      "$(winpath "$exe")" "$(winpath "$programs/testclient.exe")" \
      "$(winpath "$programs/recorder.exe")" "$(winpath "$work")" "${args[@]}" \
      2> >(tee "$errors" >&2) || status=$?
    wait  # for the copy of standard error
    [ "$status" -ne 0 ] && [ $attempt = 1 ] && grep -q 'ShellExecuteEx failed' "$errors" || break
    echo "wine.sh: Wine could not start the driver; starting it once more" >&2
  done
  return "$status"
}

reason=$(no_32bit_reason)
case $command in
  start)
    programs=$1
    [ "$kind" = wow64 ] || programs=$2
    case ${3:-} in
      "") start "$programs" "" "$2" ;;
      cp932) start "$programs" "$DOWTRANE_CP932_LOCALE" "$2" ;;
      *) echo "wine.sh: unknown code page ${3}; cp932 is known" >&2; exit 2 ;;
    esac
    ;;
  stop) stop ;;
  run) run "$@" ;;
  *) echo "usage: wine.sh start|stop|run|kind <state dir> ..." >&2; exit 2 ;;
esac
