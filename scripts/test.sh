#!/bin/bash
# Every test, through CTest: the native unit tests (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and the end-to-end tests, which run the Windows
# builds of dowtrane.exe under Wine against the test client (on a host that
# runs no 32-bit programs, the 64-bit builds alone; the 32-bit suites are
# then reported as skipped). Installs what is missing and builds all three
# presets first. Arguments go to ctest.
set -eEuo pipefail
DOWTRANE_SCRIPT=scripts/test.sh
. "$(dirname "$0")/common.sh"
cd "$DOWTRANE_ROOT"

step "installing the packages (scripts/setup.sh)" "its output above"
bash scripts/setup.sh
for preset in windows-x86 windows-x64 native; do
  step "configuring the $preset preset" "build/$preset/CMakeFiles/CMakeOutput.log"
  cmake --preset "$preset" >/dev/null
  step "building the $preset preset" "the compiler's output above"
  cmake --build --preset "$preset"
done

reason=$(no_32bit_reason)
say_which_suites() {
  if [ -n "$reason" ]; then
    echo "scripts/test.sh: end-to-end tests with the 64-bit builds only: $reason;" \
      "the 32-bit suites (e2e.x86.*, e2e.x64-client32.*) are skipped"
  else
    echo "scripts/test.sh: end-to-end tests with both builds and both test clients"
  fi
}
say_which_suites
# CTest shows no output of a skipped test: the reason is repeated below its summary.
if ! ctest --preset native "$@"; then
  say_which_suites
  fail "tests failed" "the failing tests' output above, and build/native/Testing/Temporary/LastTest.log"
fi
say_which_suites
