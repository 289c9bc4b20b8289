#!/usr/bin/env bash
# Builds everything and runs every test: the release build's unit, dialog
# and command-line tests, then the same unit tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, a short run of each fuzz target, and the
# Debian package built and checked as an installed program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

if [ "${ZELV_QUICK:-0}" != "1" ]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j "$jobs"
  ctest --preset sanitize -j "$jobs"
  scripts/fuzz.sh 20
  # The Debian package: built, unpacked and tried as an installed program.
  scripts/package.sh >/dev/null
  scripts/check-package.sh
fi
