#!/bin/bash
# Shows Dowtrane at work: installs and builds what is missing, starts the
# test client under Wine with a sample set of windows (a contact list, a
# container, consoles, private windows, channels, the media player), runs
#   dowtrane.exe <your command line>
# against it and prints what the client's windows received, the message
# boxes (answered with OK) and the exit status. It uses the 32-bit build,
# the one most users run, where the host runs 32-bit programs, and the
# 64-bit build otherwise.
#   scripts/demo.sh top
#   scripts/demo.sh hide all
#   scripts/demo.sh sendmessage aim "John Smith"
#   scripts/demo.sh /windows       what Dowtrane sees of the sample windows
set -eEuo pipefail
DOWTRANE_SCRIPT=scripts/demo.sh
. "$(dirname "$0")/common.sh"
cd "$DOWTRANE_ROOT"
[ $# -gt 0 ] || set -- top

step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh
reason=$(no_32bit_reason)
preset=windows-x86
[ -z "$reason" ] || preset=windows-x64
# The test bed's driver is the 64-bit one (tests/e2e/wine.sh says why).
for built in $(printf '%s\n' "$preset" windows-x64 | sort -u); do
  step "configuring the $built preset" "build/$built/CMakeFiles/CMakeOutput.log"
  cmake --preset "$built" >/dev/null
  step "building the $built preset" "the compiler's output above"
  cmake --build --preset "$built" >/dev/null
done
if [ -z "$reason" ]; then
  echo "Running the 32-bit build, build/$preset/dowtrane.exe."
else
  echo "Running the 64-bit build, build/$preset/dowtrane.exe: $reason."
fi

# The command line as typed: arguments with blanks in double quotes; % is
# the escape character of the test files.
tail=""
for arg in "$@"; do
  arg=${arg//%/%%}
  case $arg in *" "* | *$'\t'* | "") arg="\"$arg\"" ;; esac
  tail="$tail${tail:+ }$arg"
done

state=build/demo
programs=build/$preset/tests/e2e/programs
mkdir -p "$state"
printf 'case demo\nclient demo\nshow\nrun %s\nend\n' "$tail" >"$state/demo.txt"
trap 'bash tests/e2e/wine.sh stop "$state"' EXIT
step "starting the Wine test bed" "the lines above and the logs in $state"
bash tests/e2e/wine.sh start "$state" "$programs" build/windows-x64/tests/e2e/programs
echo "The test client's windows (label: class, title):"
sed -n 's/^window \([^ ]*\) class=\([^ ]*\) title=\([^ ]*\).*/  \1: "\2", "\3"/p' \
  tests/e2e/demo.txt | sed 's/%s/ /g'
step "running dowtrane.exe under Wine" "the lines above"
bash tests/e2e/wine.sh run "$state" "build/$preset/dowtrane.exe" "$programs" \
  tests/e2e/demo.txt "$state/demo.txt" | grep -v 'cases passed'
