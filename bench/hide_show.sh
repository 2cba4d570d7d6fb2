#!/bin/bash
# What the bounds cost a client that answers at once: "hide private" then
# "show private" over 1,000 private windows of the test client, under Wine,
# with dowtrane.exe and with bench/minimal_hide_show.cpp (a program of no
# runtime that makes the same Windows calls plainly, without bound or helper
# thread). The runs alternate between the two programs; each timed run is a
# hide followed by a show, and the main window is given the foreground
# before each hide (untimed). Prints, for each build, the median, the
# fastest and the mean, the ratio of the medians, the median of each
# round's ratio (a dowtrane.exe run to the minimal run after it), and what
# a window costs each program less the start and the enumeration (timed
# with the minimal program's "enumerate", which only starts and
# enumerates). The 64-bit builds run on the 64-bit Wine loader; the 32-bit
# ones only where the host runs 32-bit programs.
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

# Microseconds of one run of <exe> with the arguments.
time_run() {  # <loader> <exe> <argument>...
  local loader=$1 exe=$2 start end status=0
  shift 2
  start=$(date +%s%N)
  "$loader" "$exe" "$@" >/dev/null 2>&1 || status=$?
  end=$(date +%s%N)
  [ $status -eq 0 ] || fail "$exe $* ended with status $status, not 0" "$bench/client.log"
  echo $(((end - start) / 1000))
}

# Hiding the active window makes Wine activate the next one, which costs
# both programs alike and varies from run to run; the main window is given
# the foreground before each hide, untimed, so that no private window is
# active when the hide starts.
untimed_foreground() {  # <loader>
  "$1" "$bench/minimal-$arch.exe" f >/dev/null 2>&1 ||
    fail "the main window could not be given the foreground" "$bench/client.log"
}

echo "\"hide private\" then \"show private\" over $windows windows under Wine, $runs runs each" \
  "after $warmups untimed, the programs alternating; before each hide the main window is" \
  "given the foreground (untimed):"
timed=0
for arch in x86 x64; do
  bench_build $arch "$builds" "$bench" "$bench/client.log" || continue
  ours=() least=() enumerations=() ours_hide=() ours_show=() least_hide=() least_show=() rounds=()
  for i in $(seq $((warmups + runs))); do
    untimed_foreground "$loader"
    h=$(time_run "$loader" "$exe" hide private)
    s=$(time_run "$loader" "$exe" show private)
    untimed_foreground "$loader"
    mh=$(time_run "$loader" "$minimal" hide)
    ms=$(time_run "$loader" "$minimal" show)
    e=$(time_run "$loader" "$minimal" enumerate)
    [ "$i" -gt $warmups ] || continue
    ours+=($((h + s))) least+=($((mh + ms))) enumerations+=("$e")
    ours_hide+=("$h") ours_show+=("$s") least_hide+=("$mh") least_show+=("$ms")
    rounds+=($((1000000 * (h + s) / (mh + ms))))
  done
  timed=$((timed + warmups + runs))
  summary "$exe (hide and show)" "${ours[@]}"
  summary "$minimal (hide and show)" "${least[@]}"
  summary "$minimal (start and enumeration)" "${enumerations[@]}"
  awk -v a="$(median "${ours[@]}")" -v b="$(median "${least[@]}")" -v arch=$arch \
    'BEGIN { printf "  %s: ratio of the medians, dowtrane.exe to minimal: %.3f\n", arch, a / b }'
  # The X server's cost of a show drifts from minute to minute; a round's
  # two programs run within seconds of each other, so their ratio drifts less.
  awk -v r="$(median "${rounds[@]}")" -v arch=$arch \
    'BEGIN { printf "  %s: median of the rounds'"'"' ratios (each run against the minimal one after it): %.3f\n", arch, r / 1000000 }'
  awk -v e="$(median "${enumerations[@]}")" -v n=$windows -v arch=$arch \
    -v oh="$(median "${ours_hide[@]}")" -v os="$(median "${ours_show[@]}")" \
    -v lh="$(median "${least_hide[@]}")" -v ls="$(median "${least_show[@]}")" 'BEGIN {
      printf "  %s: a window, less the start and the enumeration: hide %.2f ms against %.2f ms," \
             " show %.2f ms against %.2f ms\n", arch, (oh - e) / n / 1000, (lh - e) / n / 1000,
             (os - e) / n / 1000, (ls - e) / n / 1000
    }'
done
pairs=$((2 * timed))

# Every run hid and showed every window.
hidden=$(grep -c ' hidden$' "$bench/journal.txt" || true)
echo "The client journalled $hidden windows hidden ($pairs runs of $windows)."
[ "$hidden" -eq $((pairs * windows)) ] || fail "the client hid $hidden windows, not $((pairs * windows))" \
  "$bench/journal.txt"
