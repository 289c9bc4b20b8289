#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer, the core instrumented too) in build/fuzz and
# runs each for the given number of seconds (default 20). Fails on any crash,
# leak or sanitizer report; the input that caused it is kept under
# build/fuzz/artifacts. A longer run by hand: scripts/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=build/fuzz
targets=(ini definition board_record pbn machine_file script)

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELV_FUZZ=ON -DZELV_BUILD_GUI=OFF -DZELV_BUILD_TESTS=OFF -DZELV_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j "${ZELV_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
scratch_root=/tmp
[ -d /dev/shm ] && scratch_root=/dev/shm
ZELV_FUZZ_SCRATCH=$(mktemp -d "$scratch_root/zelv-fuzz.XXXXXX")
export ZELV_FUZZ_SCRATCH
trap 'rm -rf "$ZELV_FUZZ_SCRATCH"' EXIT
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus" "$build/artifacts"
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$t-" "$corpus" "fuzz/corpus/$t"; then
    echo "fuzz_$t FAILED (see $build/artifacts)" >&2
    status=1
  fi
done
exit $status
