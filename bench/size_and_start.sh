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

step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh
for preset in windows-x86 windows-x64; do
  step "configuring the $preset preset" "build/$preset/CMakeFiles/CMakeOutput.log"
  cmake --preset "$preset" >/dev/null
  step "building the $preset preset" "the compiler's output above"
  cmake --build --preset "$preset" -j2 >/dev/null
done

bench=$DOWTRANE_ROOT/build/bench-start
mkdir -p "$bench"
for arch in x86 x64; do
  step "building the minimal program for $arch" "the compiler's output above"
  case $arch in
    x86) compiler=i686-w64-mingw32-g++ entry=_MinimalTop ;;
    x64) compiler=x86_64-w64-mingw32-g++ entry=MinimalTop ;;
  esac
  "$compiler" -std=c++20 -Os -Wall -Wextra -Werror -fno-exceptions \
    -fno-asynchronous-unwind-tables -Isrc -nostdlib -mwindows -s -Wl,-e,$entry \
    bench/minimal_top.cpp -lshell32 -luser32 -lkernel32 -o "$bench/minimal-$arch.exe"
done

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
reason=$(no_32bit_reason)
kind=$(bash tests/e2e/wine.sh kind)
state=$bench/$kind
trap 'bash tests/e2e/wine.sh stop "$bench"' EXIT
step "starting the Wine test bed" "the lines above and the logs in $state"
bash tests/e2e/wine.sh start "$bench" build/windows-x86/tests/e2e/programs \
  build/windows-x64/tests/e2e/programs >/dev/null
# shellcheck disable=SC1091
. "$state/env"
export DISPLAY WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER=$DOWTRANE_WINE64_LOADER

step "starting the 64-bit test client" "$bench/client.log"
echo 'window main class=quenvale title=Quenvale' >"$bench/scenario.txt"
rm -f "$bench/map.txt" "$bench/journal.txt"
winpath() { "$DOWTRANE_WINE64_LOADER" winepath -w "$1" 2>/dev/null; }
"$DOWTRANE_WINE64_LOADER" build/windows-x64/tests/e2e/programs/testclient.exe \
  "$(winpath "$bench/scenario.txt")" "$(winpath "$bench/journal.txt")" \
  "$(winpath "$bench/map.txt")" bench >"$bench/client.log" 2>&1 &
for _ in $(seq 300); do [ -s "$bench/map.txt" ] && break; sleep 0.05; done
[ -s "$bench/map.txt" ] || fail "the test client did not start" "$bench/client.log"

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

median() {  # <microseconds>...
  printf '%s\n' "$@" | sort -n |
    awk '{ t[NR] = $1 } END { print (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

summary() {  # <label> <microseconds>...
  local label=$1
  shift
  printf '%s\n' "$@" | sort -n | awk -v label="$label" -v median="$(median "$@")" '
    { if (NR == 1) fastest = $1; sum += $1 }
    END {
      printf "  %-35s median %7.1f ms  fastest %7.1f ms  mean %7.1f ms\n",
             label, median / 1000, fastest / 1000, sum / NR / 1000
    }'
}

echo "Start to exit of \"top\" under Wine, $runs runs each after $warmups untimed:"
sent=0
for arch in x86 x64; do
  if [ $arch = x86 ] && [ -n "$reason" ]; then
    echo "  x86: not measured: the 32-bit builds cannot run here ($reason)"
    continue
  fi
  loader=$DOWTRANE_WINE64_LOADER
  [ $arch = x64 ] || loader=$DOWTRANE_WINE32_LOADER
  exe=build/windows-$arch/dowtrane.exe
  minimal=build/bench-start/minimal-$arch.exe
  step "timing $exe and $minimal" "$bench/client.log"
  for _ in $(seq $warmups); do
    run_once "$loader" "$exe" >/dev/null
    run_once "$loader" "$minimal" >/dev/null
  done
  ours=() least=()
  for _ in $(seq "$runs"); do
    ours+=("$(run_once "$loader" "$exe")")
    least+=("$(run_once "$loader" "$minimal")")
  done
  sent=$((sent + 2 * (warmups + runs)))
  summary "$exe" "${ours[@]}"
  summary "$minimal" "${least[@]}"
  awk -v a="$(median "${ours[@]}")" -v b="$(median "${least[@]}")" -v arch=$arch \
    'BEGIN { printf "  %s: ratio of the medians, dowtrane.exe to minimal: %.3f\n", arch, a / b }'
done

received=$(grep -c '^main command 1000$' "$bench/journal.txt" || true)
echo "The client received $received top commands ($sent runs)."
[ "$received" -eq "$sent" ] || fail "the client received $received top commands, not $sent" \
  "$bench/journal.txt"
