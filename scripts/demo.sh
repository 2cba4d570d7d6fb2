#!/bin/bash
# Shows Dowtrane at work: installs and builds what is missing, starts the
# test client under Wine with a sample set of windows (a contact list, a
# container, consoles, private windows, channels, the media player), runs
#   dowtrane.exe <your command line>
# against it and prints what the client's windows received, the message
# boxes (answered with OK) and the exit status.
#   scripts/demo.sh top
#   scripts/demo.sh hide all
#   scripts/demo.sh sendmessage aim "John Smith"
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- top

bash scripts/setup.sh
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 >/dev/null

# The command line as typed: arguments with blanks in double quotes; % is
# the escape character of the test files.
tail=""
for arg in "$@"; do
  arg=${arg//%/%%}
  case $arg in *" "* | *$'\t'* | "") arg="\"$arg\"" ;; esac
  tail="$tail${tail:+ }$arg"
done

state=build/demo
programs=build/windows-x86/tests/e2e/programs
mkdir -p "$state"
printf 'case demo\nclient demo\nshow\nrun %s\nend\n' "$tail" >"$state/demo.txt"
trap 'bash tests/e2e/wine.sh stop "$state"' EXIT
bash tests/e2e/wine.sh start "$state" "$programs"
echo "The test client's windows (label: class, title):"
sed -n 's/^window \([^ ]*\) class=\([^ ]*\) title=\([^ ]*\).*/  \1: "\2", "\3"/p' \
  tests/e2e/demo.txt | sed 's/%s/ /g'
bash tests/e2e/wine.sh run "$state" build/windows-x86/dowtrane.exe "$programs" \
  tests/e2e/demo.txt "$state/demo.txt" | grep -v 'cases passed'
