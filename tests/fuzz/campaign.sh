#!/bin/bash
# Builds the fuzz target and fuzzes for SECONDS from the seed corpus
# (tests/fuzz/corpus) and the dictionary (tests/fuzz/dowtrane.dict), on one
# core, printing the runs per second and the coverage as it goes. libFuzzer
# stops at the first finding; each finding is printed with its reproducer's
# path and the input in hexadecimal. The last line reads
# "runs: N, findings: M"; the status is 1 when there are findings.
#
#   campaign.sh [--ci] [--corpus DIR] SECONDS [RUNS]
# stops after SECONDS, or after RUNS runs when that comes first. New inputs
# go to DIR, by default to a new folder build/fuzz/campaign-<time>/corpus
# (with the log and the findings), which --ci (CTest) removes afterwards
# when there is no finding.
set -eEuo pipefail
DOWTRANE_SCRIPT=tests/fuzz/campaign.sh
. "$(dirname "$0")/../../scripts/common.sh"
here=$DOWTRANE_ROOT/tests/fuzz
root=$DOWTRANE_ROOT

ci=false
corpus=
while [ $# -gt 0 ]; do
  case $1 in
    --ci) ci=true; shift ;;
    --corpus) corpus=${2:?--corpus needs a folder}; shift 2 ;;
    *) break ;;
  esac
done
seconds=${1:?usage: campaign.sh [--ci] [--corpus DIR] SECONDS [RUNS]}
runs_limit=${2:--1}

# Between two progress lines.
interval=10
[ "$seconds" -ge 1200 ] && interval=60

step "building the fuzz target" "the compiler's output above"
target=$(bash "$here/build.sh") || exit $?  # 77 (skipped, with the reason above) without clang

# The run's log and findings go to a folder of its own.
work=$root/build/fuzz/campaign-$(date +%Y%m%d-%H%M%S)-$$
$ci && work=$root/build/fuzz/ci-$(date +%Y%m%d-%H%M%S)-$$
corpus=${corpus:-$work/corpus}
artifacts=$work/findings
log=$work/fuzz.log
step "making the folders of the campaign" "$work"
mkdir -p "$corpus" "$artifacts"
echo "fuzzing for $seconds s: $target"
echo "corpus $corpus, seeds $here/corpus, log $log"

# libFuzzer's status lines carry the coverage (cov: edges, ft: features) and
# the corpus; the target's own "progress: runs N seconds S" lines the pace.
step "fuzzing" "$log"
status=0
# The log exists before tail follows it: the fuzzer, started in the
# background, may not have opened it yet.
: >"$log"
DOWTRANE_FUZZ_PROGRESS=$interval "$target" "$corpus" "$here/corpus" \
  -dict="$here/dowtrane.dict" -max_total_time="$seconds" -runs="$runs_limit" \
  -max_len=40000 -timeout=25 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 &
fuzzer=$!
trap 'kill "$fuzzer" 2>/dev/null || true' EXIT INT TERM
tail -n +1 -f --pid="$fuzzer" "$log" | awk '
  function field(name,   i) { for (i = 1; i < NF; i++) if ($i == name) return $(i + 1); return "" }
  /^#[0-9]+/ { cov = field("cov:"); ft = field("ft:"); corp = field("corp:") }
  /INITED/ { printf "started: %s seed inputs read, cov %s, ft %s\n", substr($1, 2), cov, ft; fflush() }
  /^progress: runs/ {
    printf "%6d s  runs %d  %d runs/s  cov %s  ft %s  corpus %s\n",
           $5, $3, ($5 > 0 ? $3 / $5 : 0), cov, ft, corp
    fflush()
  }'
wait "$fuzzer" || status=$?
trap - EXIT INT TERM

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
echo "finished: ${runs:-0} runs, ${rate:-0} runs/s; last status: $last"
echo "corpus: $(find "$corpus" -type f | wc -l) inputs in $corpus"

findings=0
for f in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
  [ -e "$f" ] || continue
  findings=$((findings + 1))
  if [ "$findings" -eq 1 ]; then
    echo "---- libFuzzer's report"
    # From the first line of the sanitizers', libFuzzer's or the target's
    # report on.
    awk '/ERROR|broken:|runtime error|deadly signal|Timeout|out-of-memory/ { on = 1 }
         on && !/^stat::|^#[0-9]|^progress:/' "$log" | head -n 150 || true
  fi
  echo "---- reproducer: $f"
  echo "run it again with: $target $f"
  od -An -tx1 -v "$f"
done
if grep -q 'libFuzzer: run interrupted' "$log"; then
  echo "interrupted"
elif [ "$status" -ne 0 ] && [ "$findings" -eq 0 ]; then
  echo "libFuzzer ended with status $status and left no reproducer; the log:"
  tail -n 60 "$log"
  findings=1
fi
if $ci && [ "$findings" -eq 0 ]; then rm -rf "$work"; fi
echo "runs: ${runs:-0}, findings: $findings"
[ "$findings" -eq 0 ]
