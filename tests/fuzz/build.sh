#!/bin/bash
# Builds the fuzz target with clang in its own tree, build/fuzz, and prints
# the target's path. Exits 77 (skipped) when clang or its fuzzing runtime is
# missing: scripts/setup.sh installs them.
set -eEuo pipefail
DOWTRANE_SCRIPT=tests/fuzz/build.sh
. "$(dirname "$0")/../../scripts/common.sh"
tree=$DOWTRANE_ROOT/build/fuzz

skip() {  # skip "why"
  echo "$DOWTRANE_SCRIPT: skipped: $1" >&2
  exit "$DOWTRANE_SKIP_STATUS"
}

step "looking for clang"
cxx=$(command -v clang++-14 || command -v clang++ || true)
cc=$(command -v clang-14 || command -v clang || true)
[ -n "$cxx" ] && [ -n "$cc" ] || skip "clang is not installed (scripts/setup.sh installs clang-14)"

step "checking that $cxx links libFuzzer with the sanitizers"
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
     2>"$probe/log"; then
  cat "$probe/log" >&2
  skip "$cxx cannot link libFuzzer with the sanitizers (scripts/setup.sh installs libclang-rt-14-dev)"
fi

step "configuring the fuzz target's tree" "$tree/configure.log"
mkdir -p "$tree"
cmake -S "$DOWTRANE_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOWTRANE_FUZZ=ON \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >"$tree/configure.log" 2>&1
step "building the fuzz target" "the compiler's output above"
cmake --build "$tree" -j2 --target dowtrane_fuzz >&2
echo "$tree/tests/fuzz/dowtrane_fuzz"
