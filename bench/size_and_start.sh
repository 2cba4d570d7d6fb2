#!/bin/bash
# The size and the imported DLLs of both builds of dowtrane.exe, and the
# start-to-exit time of "dowtrane top" under Wine against the test client,
# beside bench/minimal_top.cpp: a program of no runtime at all that makes the
# same Windows calls. Runs alternate between the two programs; the figures
# are the median, the fastest and the mean of the timed runs, and the ratio
# of the medians. The 64-bit builds run on the 64-bit Wine loader called
# directly; the 32-bit ones only where the host runs 32-bit programs.
#   bash bench/size_and_start.sh [runs]     (default 30; builds what is missing)
set -eEuo pipefail
DOWTRANE_SCRIPT=bench/size_and_start.sh
. "$(dirname "$0")/../scripts/common.sh"
cd "$DOWTRANE_ROOT"
runs=${1:-30}
warmups=3

install_and_build_windows

bench=$DOWTRANE_ROOT/build/bench-start
mkdir -p "$bench"
build_minimal bench/minimal_top.cpp MinimalTop "$bench"

imports() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' |
    sort | paste -sd' '
}
echo "Size and imports:"
for arch in x86 x64; do
  for exe in "build/windows-$arch/dowtrane.exe" "build/bench-start/minimal-$arch.exe"; do
    printf '  %-35s %6d bytes  %s\n' "$exe" "$(stat -c %s "$exe")" "$(imports "$exe")"
  done
done

# The test bed (X server, prefix, keeper) of the end-to-end tests, and a
# 64-bit test client with the main window alone.
start_bench_bed "$bench"

step "starting the 64-bit test client" "$bench/client.log"
echo 'window main class=quenvale title=Quenvale' >"$bench/scenario.txt"
start_bench_client "$bench" 15

# One run: prints its start-to-exit time in microseconds.
run_once() {  # <loader> <exe>
  local start end status=0
  start=$(date +%s%N)
  "$1" "$2" top >/dev/null 2>&1 || status=$?
  end=$(date +%s%N)
  # "top" ends with status 1 once the command was sent (0: no client found).
  [ $status -eq 1 ] || fail "$2 top ended with status $status, not 1" "$bench/client.log"
  echo $(((end - start) / 1000))
}

echo "Start to exit of \"top\" under Wine, $runs runs each after $warmups untimed:"
compare_with_minimal run_once "$runs" $warmups build build/bench-start "$bench/client.log"
sent=$((2 * timed))

received=$(grep -c '^main command 1000$' "$bench/journal.txt" || true)
echo "The client received $received top commands ($sent runs)."
[ "$received" -eq "$sent" ] || fail "the client received $received top commands, not $sent" \
  "$bench/journal.txt"
