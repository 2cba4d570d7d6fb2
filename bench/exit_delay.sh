#!/bin/bash
# Processor time of "dowtrane exit 3" under Wine, against the test client:
# the delay must wait by sleeping, not by keeping a processor busy. Prints
# wall time, user and system time and the processor share for each build,
# next to "exit" without a delay (the cost of starting at all).
#   bash bench/exit_delay.sh          (builds what is missing first)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for preset in windows-x86 windows-x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done

state=$(pwd)/build/bench
programs=build/windows-x86/tests/e2e/programs
mkdir -p "$state"
trap 'bash tests/e2e/wine.sh stop "$state"' EXIT
bash tests/e2e/wine.sh start "$state" "$programs"
. "$state/env"
export DISPLAY WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

echo 'window main class=quenvale title=Quenvale' >"$state/scenario.txt"
rm -f "$state/map.txt"
wine "$programs/testclient.exe" "$(winepath -w "$state/scenario.txt")" \
  "$(winepath -w "$state/journal.txt")" "$(winepath -w "$state/map.txt")" bench &
for _ in $(seq 200); do [ -s "$state/map.txt" ] && break; sleep 0.05; done

measure() {  # <exe> <arguments...>
  local exe=$1 out
  shift
  out=$( { TIMEFORMAT='%R %U %S'; time wine "$exe" "$@" >/dev/null 2>&1; } 2>&1 || true)
  read -r wall user sys <<<"$out"
  awk -v w="$wall" -v u="$user" -v s="$sys" -v what="$*" -v b="$build" \
    'BEGIN { printf "%-4s %-8s wall %6.2f s  user %5.2f s  system %5.2f s  processor share %5.1f %%\n",
             b, what, w, u, s, 100 * (u + s) / w }'
}

for build in x86 x64; do
  exe=build/windows-$build/dowtrane.exe
  measure "$exe" exit
  measure "$exe" exit 3
done
echo "the client received: $(tr '\n' ';' <"$state/journal.txt")"
