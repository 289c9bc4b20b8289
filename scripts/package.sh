#!/usr/bin/env bash
# Builds the Debian package zelvano_<version>_<arch>.deb in the project
# folder, from a release build of what it ships (build/package: no tests,
# no benchmarks). Install it with
#   sudo apt install ./zelvano_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# Paths relative to the project: ccache gives back what the release build
# compiled alike.
export CCACHE_BASEDIR="$PWD"
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
rm -f build/package/zelvano_*.deb
(cd build/package && cpack -G DEB >/dev/null)
cp build/package/zelvano_*.deb .
ls zelvano_*.deb
