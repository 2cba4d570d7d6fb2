#!/bin/bash
# How long a run takes, and how it ends, against a Quenvale that does not
# answer: hung before the run (the test client has not read its queue for
# more than five seconds), or stalling 25 s inside its handling of the
# command. One command for each family of commands, under Wine, with the
# 64-bit build of a base revision and of this tree. The base revision is by
# default the last one of main, along its first parents, without the bounded
# calls (src/platform/bounded_calls.cpp). Runs still going after 40 s are
# stopped and shown as such.
#   bash bench/hung_client.sh [base revision]     (builds what is missing first)
set -eEuo pipefail
DOWTRANE_SCRIPT=bench/hung_client.sh
. "$(dirname "$0")/../scripts/common.sh"
cd "$DOWTRANE_ROOT"
base_rev=${1:-}
if [ -z "$base_rev" ]; then
  for rev in $(git rev-list --first-parent main); do
    if ! git cat-file -e "$rev:src/platform/bounded_calls.cpp" 2>/dev/null; then
      base_rev=$(git rev-parse --short "$rev")
      break
    fi
  done
  [ -n "$base_rev" ] || fail "main has no revision without the bounded calls" "git log main"
fi

step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh
step "building the windows-x64 preset" "cmake --build --preset windows-x64"
cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64 >/dev/null

# The base revision is built from a copy of its files, beside this tree's
# build trees: the working tree is left as it is.
before=build/bench-before
step "building $base_rev in $before" "$before/build.log"
rm -rf "$before/src"
mkdir -p "$before/src"
git archive "$base_rev" | tar -x -C "$before/src"
(cd "$before/src" && cmake --preset windows-x64 && cmake --build --preset windows-x64) \
  >"$before/build.log" 2>&1
before_exe=$before/src/build/windows-x64/dowtrane.exe
after_exe=build/windows-x64/dowtrane.exe
# This tree's test programs can stall and hang; they drive both builds.
programs=build/windows-x64/tests/e2e/programs

# One command for each family (the unit test
# CommandTable.TheFilesBesideTheTableUseItsWords finds each one's word in the
# program's table); the stalling window of each, and what it stalls in (see
# tests/e2e/programs/testclient.cpp).
families=(
  "main window|top"
  "exit with a delay|exit 2"
  "show/restore/hide/minimize|hide all"
  "click-through|clickthrough all"
  "menu commands of the walk|trans all 5"
  "togglebuddy|togglebuddy"
  "sendmessage|sendmessage aim Bob"
  "offline contacts|offline"
  "dock|dock top"
)
state=$(pwd)/build/bench
suites=$state/hung_client
mkdir -p "$suites"
{
  echo "case hung"
  echo "client client"
  echo "hang"
  for f in "${families[@]}"; do
    printf 'run %s\n  timeout 40000\n' "${f#*|}"
  done
  echo "show"
  echo "end"
} >"$suites/hung.txt"
stall_case() {  # <name> <command> <window lines...>
  local name=$1 command=$2
  shift 2
  echo "case $name"
  echo "client empty"
  printf '%s\n' "$@"
  printf 'run %s\n  timeout 40000\nshow\nend\n' "$command"
}
main='window main class=quenvale title=Quenvale'
chats=('window a class=QvChat title=Ann' 'window c class=QvChat title=Cid')
list=('window cl class=QvFrame title=Buddy%sList'
  'window cl.icons class=iconholder title=icons parent=cl')
{
  stall_case top "top" 'window main class=quenvale title=Quenvale stall=1000:25000'
  stall_case exit "exit 2" 'window main class=quenvale title=Quenvale stall=40002:25000'
  stall_case hide "hide all" "$main" "${chats[0]}" 'window b class=QvChat title=Bea stall=show:25000' \
    "${chats[1]}"
  stall_case clickthrough "clickthrough all" "$main" "${chats[0]}" \
    'window b class=QvChat title=Bea stall=style:25000' "${chats[1]}"
  stall_case trans "trans all 5" "$main" "${chats[0]}" \
    'window b class=QvChat title=Bea stall=43989:25000' "${chats[1]}"
  stall_case togglebuddy "togglebuddy" "$main" \
    'window cl class=QvFrame title=Buddy%sList hidden stall=show:25000' "${list[1]}"
  stall_case sendmessage "sendmessage aim Bob" "$main" \
    'window aim class=QvChat title=AIM%sconsole opens=4029:dlg stall=4029:25000' \
    'window dlg class=QvDialog title=Sending%san%sInstant%sMessage... later' \
    'window dlg.edit class=Edit title= parent=dlg' 'window dlg.ok class=Button title=OK parent=dlg'
  stall_case offline "offline" "$main" "${list[@]}" \
    'window cl.list class=Quenvale%s-%sList title=l parent=cl exstyle=10 stall=30006:25000' \
    'window cl.groups class=Quenvale%s-%sList%sGroups title=g parent=cl exstyle=10'
  stall_case dock "dock top" "$main" "${list[@]}" \
    'window cl.list class=Quenvale%s-%sList title=l parent=cl exstyle=10 stall=30045:25000' \
    'window cl.groups class=Quenvale%s-%sList%sGroups title=g parent=cl exstyle=10'
} >"$suites/stall.txt"

trap 'bash tests/e2e/wine.sh stop "$state"' EXIT
step "starting the Wine test bed" "the logs in $state"
bash tests/e2e/wine.sh start "$state" build/windows-x86/tests/e2e/programs "$programs"

# "<way> <build> <command>|<seconds>|<status>" for each run.
results=$suites/results.txt
: >"$results"
for build in before after; do
  exe=$before_exe
  [ "$build" = after ] && exe=$after_exe
  for way in hung stall; do
    step "running the $way cases with the $build build" "$suites/$way-$build.log"
    bash tests/e2e/wine.sh run "$state" "$exe" "$programs" tests/e2e/suites/scenarios.txt \
      "$suites/$way.txt" >"$suites/$way-$build.log" 2>&1
    awk -v way="$way" -v build="$build" '
      { sub(/\r$/, "") }
      /^command line: / { command = substr($0, 28) }
      /^exit status: / {
        ms = $4; gsub(/[(]/, "", ms)
        printf "%s %s %s|%.1f|%s%s\n", way, build, command, ms / 1000, $3,
               /stopped/ ? " stopped" : ""
      }' "$suites/$way-$build.log" >>"$results"
  done
done

cell() {  # <way> <build> <command>
  local line
  line=$(grep -F "$1 $2 $3|" "$results" | head -1)
  [ -n "$line" ] || { echo "(no run)"; return; }
  IFS='|' read -r _ seconds status <<<"$line"
  if [[ $status == *stopped* ]]; then echo "> ${seconds} s, stopped"; else echo "${seconds} s, status $status"; fi
}
echo
echo "Run time and exit status of the 64-bit build under Wine (before: $base_rev; after: this tree)"
printf '%-28s %-20s %-18s %-18s %-18s %-18s\n' family command "hung: before" "hung: after" \
  "25 s stall: before" "25 s stall: after"
for f in "${families[@]}"; do
  family=${f%%|*}
  command=${f#*|}
  printf '%-28s %-20s %-18s %-18s %-18s %-18s\n' "$family" "$command" \
    "$(cell hung before "$command")" "$(cell hung after "$command")" \
    "$(cell stall before "$command")" "$(cell stall after "$command")"
done
