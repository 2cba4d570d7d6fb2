#!/bin/bash
# Processor time of "dowtrane exit 3" under Wine, against the test client:
# the delay must wait by sleeping, not by keeping a processor busy. Prints
# wall time, user and system time and the processor share for each build,
# next to "exit" without a delay (the cost of starting at all).
#   bash bench/exit_delay.sh          (builds what is missing first)
set -eEuo pipefail
DOWTRANE_SCRIPT=bench/exit_delay.sh
. "$(dirname "$0")/../scripts/common.sh"
cd "$DOWTRANE_ROOT"
step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh
for preset in windows-x86 windows-x64; do
  step "building the $preset preset" "cmake --build --preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

kind=$(wine_kind)
use_wine "$kind"
builds="x86 x64"
programs=build/windows-x86/tests/e2e/programs
if [ "$kind" = win64 ]; then
  echo "x86 skipped: $(no_32bit_reason)"
  builds=x64
  programs=build/windows-x64/tests/e2e/programs
fi
base=$(pwd)/build/bench
state=$base/$kind
mkdir -p "$state"
trap 'bash tests/e2e/wine.sh stop "$base"' EXIT
step "starting the Wine test bed" "the logs in $state"
bash tests/e2e/wine.sh start "$base" build/windows-x86/tests/e2e/programs \
  build/windows-x64/tests/e2e/programs
. "$state/env"
export DISPLAY WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo 'window main class=quenvale title=Quenvale' >"$state/scenario.txt"
rm -f "$state/map.txt"
"$WINE" "$programs/testclient.exe" "$("$WINE" winepath -w "$state/scenario.txt")" \
  "$("$WINE" winepath -w "$state/journal.txt")" "$("$WINE" winepath -w "$state/map.txt")" bench &
for _ in $(seq 200); do [ -s "$state/map.txt" ] && break; sleep 0.05; done

measure() {  # <exe> <arguments...>
  local exe=$1 out
  shift
  out=$( { TIMEFORMAT='%R %U %S'; time "$WINE" "$exe" "$@" >/dev/null 2>&1; } 2>&1 || true)
  read -r wall user sys <<<"$out"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v what="$*" -v b="$build" \
    'BEGIN { printf "%-4s %-8s wall %6.2f s  user %5.2f s  system %5.2f s  processor share %5.1f %%\n",
             b, what, w, u, s, 100 * (u + s) / w }'
}

for build in $builds; do
  exe=build/windows-$build/dowtrane.exe
  measure "$exe" exit
  measure "$exe" exit 3
done
echo "the client received: $(tr '\n' ';' <"$state/journal.txt")"
