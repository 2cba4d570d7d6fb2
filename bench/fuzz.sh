#!/bin/bash
# A fuzzing campaign of the whole command path: builds the fuzz target (clang,
# libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and fuzzes on one
# core, or on N with --cores N, for SECONDS, or until RUNS runs when given,
# from the seed corpus, into a new corpus under build/fuzz/. Prints the runs
# per second and the coverage as it goes, the coverage of the corpus at the
# end, every finding with its reproducer, and last
#   runs: N, findings: M
# Run it with nice on a shared machine:  nice -n 19 bash bench/fuzz.sh 3600
# A long campaign on every core:  bash bench/fuzz.sh --cores 2 7200 10000000
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 1 ] || { echo "usage: bench/fuzz.sh [--cores N] SECONDS [RUNS]" >&2; exit 2; }
bash scripts/setup.sh
exec bash tests/fuzz/campaign.sh "$@"
