#!/usr/bin/env bash
# Installs the Debian packages that building and testing Molvane need.
#   scripts/install-deps.sh            the Linux build, tests, sanitizers and fuzzers
#   scripts/install-deps.sh --windows  also the MinGW-w64 cross compiler and Wine
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev
  fonts-dejavu-core  # the customer title's font where Tahoma is not installed
  googletest libgtest-dev libgmock-dev
  libcli11-dev
  clang libclang-rt-14-dev
)
if [[ "${1:-}" == "--windows" ]]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64)
fi

sudo=""
if [[ "$(id -u)" -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${packages[@]}"
