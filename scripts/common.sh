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
