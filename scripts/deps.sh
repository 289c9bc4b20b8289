#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the application need,
# skipping those already present. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev fonts-dejavu-core fonts-liberation2
  libgtest-dev libbenchmark-dev libdds-dev
  libsodium-dev libcli11-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth dealer deal util-linux strace poppler-utils openbox x11-apps
  dpkg-dev fakeroot desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
