#!/usr/bin/env bash
# Builds the application (and the command-line dealer) and starts it.
# Without a display it starts under a virtual one (Xvfb); pass --cli to run
# the command-line dealer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export CCACHE_BASEDIR="$PWD"
cmake --preset release >/dev/null
# Only what is started, and what it reads at run time (the working folders,
# help and samples come with both programs); the tests wait for scripts/test.sh.
cmake --build --preset release -j "$(nproc)" --target zelvano zelvano-deal
bin=build/release/bin
if [ "${1:-}" = "--cli" ]; then
  shift
  exec "$bin/zelvano-deal" "$@"
fi
if [ -x "$bin/zelvano" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Zelvano under Xvfb (xvfb-run). Use a desktop session to see its window." >&2
    exec xvfb-run -a "$bin/zelvano" "$@"
  fi
  exec "$bin/zelvano" "$@"
fi
echo "The application is not built yet; dealing one board with the command-line dealer." >&2
exec "$bin/zelvano-deal" "$@"
