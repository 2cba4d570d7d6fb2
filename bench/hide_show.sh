#!/bin/bash
# What the bounds cost a client that answers at once: "hide private" then
# "show private" over 1,000 private windows of the test client, under Wine,
# with dowtrane.exe and with bench/minimal_hide_show.cpp (a program of no
# runtime that makes the same Windows calls plainly, without bound or helper
# thread). The runs alternate between the two programs; each timed run is a
# hide followed by a show. Prints, for each build, the median, the fastest
# and the mean, and the ratio of the medians. The 64-bit builds run on the
# 64-bit Wine loader; the 32-bit ones only where the host runs 32-bit
# programs.
#   bash bench/hide_show.sh [runs] [build folder]
# (default 15 runs; the build folder holds windows-x86/ and windows-x64/,
# default build/ of this tree, built when missing: give another tree's, e.g.
# a base revision's, to time its dowtrane.exe against the same client.)
set -eEuo pipefail
DOWTRANE_SCRIPT=bench/hide_show.sh
. "$(dirname "$0")/../scripts/common.sh"
cd "$DOWTRANE_ROOT"
runs=${1:-15}
builds=${2:-build}
warmups=2
windows=1000

install_and_build_windows

bench=$DOWTRANE_ROOT/build/bench-hide-show
mkdir -p "$bench"
build_minimal bench/minimal_hide_show.cpp MinimalHideShow "$bench"

start_bench_bed "$bench"

step "starting the 64-bit test client with $windows private windows" "$bench/client.log"
{
  echo 'window main class=quenvale title=Quenvale'
  for i in $(seq $windows); do
    echo "window p$i class=QvChat title=P$i"
    echo "window p$i.d class=quenvale%sdisplay title=t parent=p$i"
  done
} >"$bench/scenario.txt"
start_bench_client "$bench" 120

# One hide and one show: prints their time in microseconds.
run_pair() {  # <loader> <exe>
  local start end status=0
  start=$(date +%s%N)
  "$1" "$2" hide private >/dev/null 2>&1 || status=$?
  "$1" "$2" show private >/dev/null 2>&1 || status=$?
  end=$(date +%s%N)
  [ $status -eq 0 ] || fail "$2 ended with status $status, not 0" "$bench/client.log"
  echo $(((end - start) / 1000))
}

echo "\"hide private\" then \"show private\" over $windows windows under Wine," \
  "$runs runs each after $warmups untimed:"
compare_with_minimal run_pair "$runs" $warmups "$builds" "${bench#"$DOWTRANE_ROOT"/}" \
  "$bench/client.log"
pairs=$((2 * timed))

# Every run hid and showed every window.
hidden=$(grep -c ' hidden$' "$bench/journal.txt" || true)
echo "The client journalled $hidden windows hidden ($pairs runs of $windows)."
[ "$hidden" -eq $((pairs * windows)) ] || fail "the client hid $hidden windows, not $((pairs * windows))" \
  "$bench/journal.txt"
