#!/usr/bin/env bash
# Makes the Debian package with CPack from a build of its own, made here with the default
# preset's settings and Debian's hardening flags: molvane, molvanectl and cartsim in /usr/bin,
# the desktop entry and icon, the manual pages of molvanectl and cartsim (help2man, from their
# --help) and the udev rule for FTDI adapters.
#   scripts/package-linux.sh            -> build/molvane_<version>_<arch>.deb
#   MOLVANE_LINUX_BUILD  build folder (default build/package)
# Needs help2man and dpkg-dev (dpkg-buildflags gives the flags, dpkg-shlibdeps declares the
# libraries' packages), which scripts/install-deps.sh installs.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MOLVANE_LINUX_BUILD:-$ROOT/build/package}
cd "$ROOT"  # dpkg-buildflags maps the sources' folder away from the debugging information

# The package's dates are the last commit's, so the same sources give the same package.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]] && git -C "$ROOT" rev-parse HEAD >/dev/null 2>&1; then
  export SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct)
fi
# The flags a Debian package is built with, every hardening feature on: fortified functions,
# the stack protector, read-only relocations bound at start (BIND_NOW); PIE is the compiler's
# default. tests/package/install_test.sh checks them with lintian.
export DEB_BUILD_MAINT_OPTIONS=${DEB_BUILD_MAINT_OPTIONS:-hardening=+all}
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# Configured each time: the changelog's date is taken when CMake runs, and the flags may change.
cmake --preset default -B "$BUILD" -DMOLVANE_BUILD_TESTS=OFF -DMOLVANE_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$BUILD" -j "${MOLVANE_JOBS:-2}" \
  --target molvane molvanectl cartsim molvane_package_files

staging="$BUILD/cpack"
rm -rf "$staging"
(cd "$BUILD" && cpack -G DEB -B "$staging" >/dev/null)
deb=$(find "$staging" -maxdepth 1 -name 'molvane_*.deb')
[[ -n "$deb" ]] || { echo "CPack made no package; see $staging" >&2; exit 1; }
mv "$deb" "$ROOT/build/"
echo "$ROOT/build/$(basename "$deb")"
