#!/bin/bash
# Builds the fuzz target with clang in its own tree, build/fuzz, and prints
# the target's path. Exits 77 (skipped) when clang or its fuzzing runtime is
# missing: scripts/setup.sh installs them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$root/build/fuzz

cxx=$(command -v clang++-14 || command -v clang++ || true)
cc=$(command -v clang-14 || command -v clang || true)
if [ -z "$cxx" ] || [ -z "$cc" ]; then
  echo "skipped: clang is not installed (scripts/setup.sh installs clang-14)" >&2
  exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/log"; then
  cat "$probe/log" >&2
  echo "skipped: $cxx cannot link libFuzzer with the sanitizers" \
       "(scripts/setup.sh installs libclang-rt-14-dev)" >&2
  exit 77
fi

mkdir -p "$tree"
cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOWTRANE_FUZZ=ON \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_C_COMPILER="$cc" >"$tree/configure.log" 2>&1 ||
  { cat "$tree/configure.log" >&2; exit 1; }
cmake --build "$tree" -j2 --target dowtrane_fuzz >&2
echo "$tree/tests/fuzz/dowtrane_fuzz"
