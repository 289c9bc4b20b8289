#!/usr/bin/env bash
# Builds everything and runs every test: formatting checked first, the
# release build's unit, dialog and command-line tests, then the same unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the core's
# threaded tests under ThreadSanitizer, a short run of each fuzz target, and
# the Debian package built and checked as an installed program. Each stage
# says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# ccache keys paths relative to the project, so a build folder reuses what
# another one compiled alike (the package build the release build's objects).
export CCACHE_BASEDIR="$PWD"

jobs=$(nproc)
stage() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s" >&2
}

# Every tracked C++ file as clang-format 14 and .clang-format would write it.
check_format() {
  local format=clang-format-14
  command -v "$format" >/dev/null || format=clang-format
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -- '*.cpp' '*.h' | xargs -0 "$format" --dry-run -Werror
  else
    find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 "$format" --dry-run -Werror
  fi
}

build_and_test() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
  ctest --preset "$1" -j "$jobs"
}

stage format check_format
stage release build_and_test release

if [ "${ZELV_QUICK:-0}" != "1" ]; then
  stage sanitize build_and_test sanitize
  stage tsan build_and_test tsan
  stage fuzz scripts/fuzz.sh 20
  # The Debian package: built, unpacked and tried as an installed program.
  stage package scripts/package.sh >/dev/null
  stage check-package scripts/check-package.sh
fi
