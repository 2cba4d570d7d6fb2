#!/bin/bash
# Every test, through CTest: the native unit tests (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and the end-to-end tests, which run both
# Windows builds of dowtrane.exe under Wine against the test client.
# Installs what is missing and builds all three presets first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
for preset in windows-x86 windows-x64 native; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
ctest --preset native "$@"
