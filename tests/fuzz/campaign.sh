#!/bin/bash
# Builds the fuzz target and fuzzes for SECONDS from the seed corpus
# (tests/fuzz/corpus) and the dictionary (tests/fuzz/dowtrane.dict), on one
# core, printing the runs per second and the coverage as it goes. libFuzzer
# stops at the first finding; each finding is printed with its reproducer's
# path and the input in hexadecimal. The last line reads
# "runs: N, findings: M"; the status is 1 when there are findings.
#
#   campaign.sh [--ci] [--corpus DIR] [--cores N] SECONDS [RUNS]
# stops after SECONDS, or after RUNS runs when that comes first (on several
# cores, at the end of the job that passes RUNS). New inputs go to DIR, by
# default to a new folder build/fuzz/campaign-<time>/corpus (with the log
# and the findings), which --ci (CTest) removes afterwards when there is no
# finding.
#
# With --cores N (N > 1), libFuzzer's fork mode runs N fuzzing processes at
# once, each for a short job over part of the corpus, and merges what they
# find. One long-lived process slows down as its campaign goes on (from
# about 3,000 to under 1,000 runs a second over a few million runs, while
# the inputs it tries grow longer and its corpus larger); the jobs, each a
# fresh process over part of the corpus, keep near the pace of the start.
# The coverage at the end is measured the same way in both modes: one
# process reads the whole corpus.
set -eEuo pipefail
DOWTRANE_SCRIPT=tests/fuzz/campaign.sh
. "$(dirname "$0")/../../scripts/common.sh"
here=$DOWTRANE_ROOT/tests/fuzz
root=$DOWTRANE_ROOT

ci=false
corpus=
cores=1
while [ $# -gt 0 ]; do
  case $1 in
    --ci) ci=true; shift ;;
    --corpus) corpus=${2:?--corpus needs a folder}; shift 2 ;;
    --cores) cores=${2:?--cores needs a number}; shift 2 ;;
    *) break ;;
  esac
done
usage="usage: campaign.sh [--ci] [--corpus DIR] [--cores N] SECONDS [RUNS]"
seconds=${1:?$usage}
runs_limit=${2:--1}
[[ $cores =~ ^[1-9][0-9]*$ ]] || { echo "$usage" >&2; exit 2; }
fork=()
[ "$cores" -gt 1 ] && fork=(-fork="$cores")

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
echo "fuzzing for $seconds s on $cores core(s): $target"
echo "corpus $corpus, seeds $here/corpus, log $log"

# On one core, libFuzzer's status lines carry the coverage (cov: edges, ft:
# features) and the corpus, and the target's own "progress: runs N seconds S"
# lines the pace. In fork mode the jobs' output stays in their own logs; the
# parent's line after each job ("#N: cov: C ft: F corp: K exec/s E ...
# time: Ts job: J") carries the runs of all jobs so far.
step "fuzzing" "$log"
status=0
# The log exists before tail follows it: the fuzzer, started in the
# background, may not have opened it yet.
: >"$log"
DOWTRANE_FUZZ_PROGRESS=$interval "$target" "$corpus" "$here/corpus" \
  -dict="$here/dowtrane.dict" -max_total_time="$seconds" -runs="$runs_limit" "${fork[@]}" \
  -max_len=40000 -timeout=25 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 &
fuzzer=$!
trap 'kill "$fuzzer" 2>/dev/null || true' EXIT INT TERM
# mawk (Debian's awk) reads a pipe in large blocks and would hold the
# progress lines back until a block fills: -W interactive makes it read line
# by line. Other awks are used as they are.
progress_awk=(awk)
[ -z "$(awk -W interactive 'BEGIN { }' </dev/null 2>&1)" ] && progress_awk=(awk -W interactive)
tail -n +1 -f --pid="$fuzzer" "$log" | "${progress_awk[@]}" -v interval="$interval" '
  function field(name,   i) { for (i = 1; i < NF; i++) if ($i == name) return $(i + 1); return "" }
  /^#[0-9]+/ { cov = field("cov:"); ft = field("ft:"); corp = field("corp:") }
  /^#[0-9]+: cov:/ {
    runs = substr($1, 2) + 0; seconds = field("time:") + 0
    if (seconds - shown >= interval) {
      shown = seconds
      printf "%6d s  runs %d  %d runs/s  cov %s  ft %s  corpus %s  jobs %s\n",
             seconds, runs, (seconds > 0 ? runs / seconds : 0), cov, ft, corp, field("job:")
      fflush()
    }
  }
  /INITED/ { printf "started: %s seed inputs read, cov %s, ft %s\n", substr($1, 2), cov, ft; fflush() }
  /^progress: runs/ {
    printf "%6d s  runs %d  %d runs/s  cov %s  ft %s  corpus %s\n",
           $5, $3, ($5 > 0 ? $3 / $5 : 0), cov, ft, corp
    fflush()
  }'
wait "$fuzzer" || status=$?
trap - EXIT INT TERM

last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
if [ "$cores" -gt 1 ]; then
  runs=$(sed -n 's/^#\([0-9]*\): cov:.*/\1/p' "$log" | tail -n 1)
  took=$(sed -n 's/^INFO: exiting: .* time: \([0-9]*\)s$/\1/p' "$log" | tail -n 1)
  rate=$(( ${runs:-0} / (${took:-0} > 0 ? ${took:-0} : 1) ))
else
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
fi
echo "finished: ${runs:-0} runs, ${rate:-0} runs/s; last status: $last"
echo "corpus: $(find "$corpus" -type f | wc -l) inputs in $corpus"
# The same measure in both modes: one process reads the corpus and the
# seeds, runs each input once and reports what they cover.
if [ "$status" -eq 0 ]; then
  step "measuring the coverage of the corpus" "$work/coverage.log"
  "$target" -runs=0 "$corpus" "$here/corpus" >"$work/coverage.log" 2>&1 || true
  awk '
    function field(name,   i) { for (i = 1; i < NF; i++) if ($i == name) return $(i + 1); return "?" }
    /^#[0-9]+[[:space:]]+INITED/ { cov = field("cov:"); ft = field("ft:") }
    END { printf "coverage of the corpus and the seeds: cov %s edges, ft %s features\n",
                 cov == "" ? "?" : cov, ft == "" ? "?" : ft }' "$work/coverage.log"
fi

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
