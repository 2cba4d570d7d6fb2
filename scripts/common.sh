# Sourced by the project's scripts: what this host can run, which Wine to
# use, and how a failing step is reported. Hosts differ: some kernels run
# 32-bit x86 Linux programs and some have that switched off, and Debian's
# 32-bit Wine loader then fails with "Exec format error".
#
#   DOWTRANE_NO_32BIT=1   answer "no 32-bit programs" whatever the host can
#                         do, to exercise that path on any machine.

DOWTRANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DOWTRANE_WINE64_LOADER=/usr/lib/wine/wine64
DOWTRANE_WINE32_LOADER=/usr/lib/wine/wine
# The status CTest reads as "skipped".
DOWTRANE_SKIP_STATUS=77
# The Linux locale under which Wine runs programs with the ANSI code page 932.
DOWTRANE_CP932_LOCALE=ja_JP.UTF-8

# ---------------------------------------------------------------- steps

# Under `set -eE`, a failing command ends the script with a line that names
# the step it was in and what to look at, instead of ending silently.
#   step "building the windows-x86 preset" [file or hint to look at]
step() {
  DOWTRANE_STEP=$1
  DOWTRANE_LOOK=${2:-}
}

fail() {  # fail "why" [what to look at]
  echo "${DOWTRANE_SCRIPT:-$(basename "$0")}: $1${2:+; see $2}" >&2
  exit 1
}

on_error() {
  local status=$?
  trap - ERR
  echo "${DOWTRANE_SCRIPT:-$(basename "$0")}: failed (status $status) while ${DOWTRANE_STEP:-starting}${DOWTRANE_LOOK:+; see $DOWTRANE_LOOK}" >&2
  exit "$status"
}
trap on_error ERR

# ---------------------------------------------------------------- the host

# The answer, once per process: the probe is a 232-byte static i386 Linux
# program that only calls exit(0).
host_runs_32bit() {
  if [ -z "${DOWTRANE_HOST32_ANSWER:-}" ]; then
    DOWTRANE_HOST32_ANSWER=no
    case ${DOWTRANE_NO_32BIT:-} in
      "" | 0)
        local dir="$DOWTRANE_ROOT/build" probe
        mkdir -p "$dir"
        probe=$(mktemp "$dir/.host32-probe.XXXXXX")
        base64 -d >"$probe" <<'PROBE'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAABwAAAAAAAAADQAIAABACgAAwACAAEAAABU
AAAAVIAECFSABAgJAAAACQAAAAUAAAABAAAAuAEAAAAx282AAC5zaHN0cnRhYgAudGV4dAAAAAAA
AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAALAAAAAQAAAAYAAABUgAQIVAAA
AAkAAAAAAAAAAAAAAAEAAAAAAAAAAQAAAAMAAAAAAAAAAAAAAF0AAAARAAAAAAAAAAAAAAABAAAA
AAAAAA==
PROBE
        chmod +x "$probe"
        if "$probe" 2>/dev/null; then DOWTRANE_HOST32_ANSWER=yes; fi
        rm -f "$probe"
        ;;
    esac
  fi
  [ "$DOWTRANE_HOST32_ANSWER" = yes ]
}

# Why this host runs no 32-bit Windows programs under Wine; empty when it does.
no_32bit_reason() {
  if [ -n "${DOWTRANE_NO_32BIT:-}" ] && [ "${DOWTRANE_NO_32BIT}" != 0 ]; then
    echo "DOWTRANE_NO_32BIT=$DOWTRANE_NO_32BIT forces the 64-bit-only path"
  elif ! host_runs_32bit; then
    echo "this host's kernel runs no 32-bit x86 programs"
  elif [ ! -x "$DOWTRANE_WINE32_LOADER" ]; then
    echo "the 32-bit Wine loader (package wine32:i386) is not installed; scripts/setup.sh says why"
  fi
}

# "wow64": Debian's wine wrapper, which runs 32- and 64-bit Windows programs.
# "win64": the 64-bit loader called directly (the wrapper would pick the
# 32-bit one whenever it is installed), 64-bit programs only.
wine_kind() {
  if [ -z "$(no_32bit_reason)" ]; then echo wow64; else echo win64; fi
}

# Sets WINE, the command that runs a Windows program, for the kind; tools
# such as wineboot and winepath are run as "$WINE wineboot".
use_wine() {
  case $1 in
    wow64) WINE=wine ;;
    win64)
      WINE=$DOWTRANE_WINE64_LOADER
      export WINELOADER=$DOWTRANE_WINE64_LOADER
      ;;
  esac
  export WINEARCH=win64
}

# 0 when the locale is generated (setlocale would accept it) with UTF-8 as
# its character set; a missing locale falls back to "C" and says ANSI_X3.4-1968.
locale_has_utf8() {
  [ "$(LC_ALL=$1 locale charmap 2>/dev/null)" = UTF-8 ]
}

# 0 when the PE file is a 32-bit (i386) program.
pe_is_32bit() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
  [ "$machine" = 014c ]
}

# The benchmarks' figures, from times in microseconds: the median, and a
# line with the median, the fastest and the mean in milliseconds.
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
      printf "  %-40s median %7.1f ms  fastest %7.1f ms  mean %7.1f ms\n",
             label, median / 1000, fastest / 1000, sum / NR / 1000
    }'
}

# The benchmarks' test bed: the X server, prefix and keeper of the end-to-end
# tests in <bench dir>, stopped when the script ends, and the environment to
# run the 64-bit Wine loader in. Sets reason (why 32-bit programs cannot run
# here; empty when they can) and state (the bed's folder).
start_bench_bed() {  # <bench dir>
  local bench=$1 kind
  reason=$(no_32bit_reason)
  kind=$(bash tests/e2e/wine.sh kind)
  state=$bench/$kind
  # shellcheck disable=SC2064
  trap "bash tests/e2e/wine.sh stop '$bench'" EXIT
  step "starting the Wine test bed" "the lines above and the logs in $state"
  bash tests/e2e/wine.sh start "$bench" build/windows-x86/tests/e2e/programs \
    build/windows-x64/tests/e2e/programs >/dev/null
  # shellcheck disable=SC1091
  . "$state/env"
  export DISPLAY WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINELOADER=$DOWTRANE_WINE64_LOADER
}

# The 64-bit test client of <bench dir>/scenario.txt, journalling into
# <bench dir>/journal.txt; returns once its windows are made, failing after
# <seconds>.
start_bench_client() {  # <bench dir> <seconds>
  local bench=$1 seconds=$2
  rm -f "$bench/map.txt" "$bench/journal.txt"
  winpath() { "$DOWTRANE_WINE64_LOADER" winepath -w "$1" 2>/dev/null; }
  "$DOWTRANE_WINE64_LOADER" build/windows-x64/tests/e2e/programs/testclient.exe \
    "$(winpath "$bench/scenario.txt")" "$(winpath "$bench/journal.txt")" \
    "$(winpath "$bench/map.txt")" bench >"$bench/client.log" 2>&1 &
  for _ in $(seq $((seconds * 10))); do [ -s "$bench/map.txt" ] && break; sleep 0.1; done
  [ -s "$bench/map.txt" ] || fail "the test client did not start" "$bench/client.log"
}

# Times dowtrane.exe of each build (x86, x64; x86 only where 32-bit programs
# run, see start_bench_bed) beside the minimal program that makes the same
# calls: <warmups> untimed runs of each, then <runs> timed ones, alternating
# the two. <run> is a function: <loader> <exe> -> the run's microseconds.
# Prints each program's figures and the ratio of the medians; sets timed to
# the runs made of each program, untimed ones included.
# For one build: sets loader, exe and minimal, and names the step; returns
# 1, saying why, when the build cannot run here.
bench_build() {  # <arch> <build folder> <minimal folder> <log>
  if [ "$1" = x86 ] && [ -n "$reason" ]; then
    echo "  x86: not measured: the 32-bit builds cannot run here ($reason)"
    return 1
  fi
  loader=$DOWTRANE_WINE64_LOADER
  [ "$1" = x64 ] || loader=$DOWTRANE_WINE32_LOADER
  exe=$2/windows-$1/dowtrane.exe
  minimal=$3/minimal-$1.exe
  [ -f "$exe" ] || fail "there is no $exe" "the build folder given"
  step "timing $exe and $minimal" "$4"
}

compare_with_minimal() {  # <run> <runs> <warmups> <build folder> <minimal folder> <log>
  local run=$1 runs=$2 warmups=$3 builds=$4 minimals=$5 log=$6 arch loader exe minimal
  local ours least
  timed=0
  for arch in x86 x64; do
    bench_build $arch "$builds" "$minimals" "$log" || continue
    for _ in $(seq "$warmups"); do
      "$run" "$loader" "$exe" >/dev/null
      "$run" "$loader" "$minimal" >/dev/null
    done
    ours=() least=()
    for _ in $(seq "$runs"); do
      ours+=("$("$run" "$loader" "$exe")")
      least+=("$("$run" "$loader" "$minimal")")
    done
    timed=$((timed + warmups + runs))
    summary "$exe" "${ours[@]}"
    summary "$minimal" "${least[@]}"
    awk -v a="$(median "${ours[@]}")" -v b="$(median "${least[@]}")" -v arch=$arch \
      'BEGIN { printf "  %s: ratio of the medians, dowtrane.exe to minimal: %.3f\n", arch, a / b }'
  done
}

# A benchmark's minimal program, for both builds: <dir>/minimal-x86.exe and
# minimal-x64.exe, without runtime, entered at <entry>.
build_minimal() {  # <source> <entry> <dir>
  local arch compiler entry
  for arch in x86 x64; do
    step "building the minimal program for $arch" "the compiler's output above"
    case $arch in
      x86) compiler=i686-w64-mingw32-g++ entry=_$2 ;;
      x64) compiler=x86_64-w64-mingw32-g++ entry=$2 ;;
    esac
    "$compiler" -std=c++20 -Os -Wall -Wextra -Werror -fno-exceptions \
      -fno-asynchronous-unwind-tables -Isrc -nostdlib -mwindows -s -Wl,-e,"$entry" \
      "$1" -lshell32 -luser32 -lkernel32 -o "$3/minimal-$arch.exe"
  done
}

# What the benchmarks need first: the packages, and both Windows builds.
install_and_build_windows() {
  local preset
  step "installing the packages (scripts/setup.sh)" "its output above"
  bash scripts/setup.sh
  for preset in windows-x86 windows-x64; do
    step "configuring the $preset preset" "build/$preset/CMakeFiles/CMakeOutput.log"
    cmake --preset "$preset" >/dev/null
    step "building the $preset preset" "the compiler's output above"
    cmake --build --preset "$preset" -j2 >/dev/null
  done
}
