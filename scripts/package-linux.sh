#!/usr/bin/env bash
# Makes the Debian package with CPack from the default preset's build (built here if need be):
# molvane, molvanectl and cartsim in /usr/bin, the desktop entry and icon, the manual pages of
# molvanectl and cartsim (help2man, from their --help) and the udev rule for FTDI adapters.
#   scripts/package-linux.sh            -> build/molvane_<version>_<arch>.deb
#   MOLVANE_LINUX_BUILD  build folder (default build/default, the default preset)
# Needs help2man and dpkg-dev (dpkg-shlibdeps declares the libraries' packages), which
# scripts/install-deps.sh installs.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MOLVANE_LINUX_BUILD:-$ROOT/build/default}

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  (cd "$ROOT" && cmake --preset default -B "$BUILD")
fi
# The package's dates are the last commit's, so the same sources give the same package.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]] && git -C "$ROOT" rev-parse HEAD >/dev/null 2>&1; then
  export SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct)
fi
cmake "$BUILD" >/dev/null  # the changelog's date is taken when CMake runs
cmake --build "$BUILD" -j "${MOLVANE_JOBS:-2}" \
  --target molvane molvanectl cartsim molvane_package_files

staging="$BUILD/cpack"
rm -rf "$staging"
(cd "$BUILD" && cpack -G DEB -B "$staging" >/dev/null)
deb=$(find "$staging" -maxdepth 1 -name 'molvane_*.deb')
[[ -n "$deb" ]] || { echo "CPack made no package; see $staging" >&2; exit 1; }
mv "$deb" "$ROOT/build/"
echo "$ROOT/build/$(basename "$deb")"
