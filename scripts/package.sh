#!/usr/bin/env bash
# Builds the Debian package zelvano_<version>_<arch>.deb in the project
# folder, from the release build. Install it with
#   sudo apt install ./zelvano_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
rm -f build/release/zelvano_*.deb
(cd build/release && cpack -G DEB >/dev/null)
cp build/release/zelvano_*.deb .
ls zelvano_*.deb
