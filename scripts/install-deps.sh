#!/usr/bin/env bash
# Installs the Debian packages that building and testing Molvane need.
#   scripts/install-deps.sh            the Linux build, tests, sanitizers, fuzzers and the Debian
#                                      package with its install test
#   scripts/install-deps.sh --windows  also the MinGW-w64 cross compiler, Wine, screenshots of the
#                                      desktop program under Wine, NSIS for the installer, and
#                                      the fleet store's libraries and Qt for MinGW (below)
#
# Debian has no SOCI, SQLite or libpq for MinGW either. --windows cross-builds them, static, from
# Debian's soci, sqlite3 and postgresql source packages (the versions of libsoci-dev,
# libsqlite3-dev and libpq-dev) with scripts/build-fleet-mingw.sh (about 4 minutes on 2 cores)
# into MOLVANE_FLEET_MINGW_PREFIX (default
# ${XDG_CACHE_HOME:-~/.cache}/molvane/soci4.0.3-sqlite3.40.1-pq15-mingw64/prefix, where
# cmake/mingw-w64-x86_64.cmake looks). An existing prefix is kept.
#
# Debian has no Qt for MinGW. --windows puts one in MOLVANE_QT_MINGW_PREFIX (default
# ${XDG_CACHE_HOME:-~/.cache}/molvane/qt6.4.2-mingw64/prefix, where cmake/mingw-w64-x86_64.cmake
# looks): unpacked from MOLVANE_QT_MINGW_ARCHIVE when that names an archive (a relative path is
# taken from the repository root) whose sha256 is the one below, otherwise cross-built from
# Debian's qt6-base source by scripts/build-qt-mingw.sh (about 15 minutes on 2 cores), for which a
# deb-src entry is added. An existing prefix is kept.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

QT_MINGW_SHA256=0e1e041fd650d3f3c8f6089928716553536dfd5021e8e58e71c6694c73fa6cfc

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev
  fonts-dejavu-core  # the customer title's font where Tahoma is not installed
  googletest libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev
  libsoci-dev libsqlite3-dev libpq-dev  # the fleet store: SOCI with its SQLite and PostgreSQL backends
  postgresql  # the fleet store's tests start a PostgreSQL server of their own
  python3  # the molvanectl --json test reads the documents with Python's json module
  clang libclang-rt-14-dev clang-format  # the fuzzers; scripts/check-format.sh
  help2man dpkg-dev lintian  # scripts/package-linux.sh: manual pages, declared libraries, check
  xvfb xdotool               # the package's install test drives the desktop program on X
)
windows=0
if [[ "${1:-}" == "--windows" ]]; then
  windows=1
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine
             imagemagick xz-utils
             nsis  # scripts/package-windows.sh: the installer
             dpkg-dev ninja-build tcl)  # the cross builds; SQLite writes its amalgamation with tclsh
fi

sudo=""
if [[ "$(id -u)" -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${packages[@]}"
[[ $windows == 1 ]] || exit 0

# The machine's own package sources, each also for source packages: the same mirrors the
# binaries come from, so nothing here names a host. One-line (.list) and deb822 (.sources) files
# are both read; a source already offering source packages is left as it is.
add_source_entries() {
  local lists=() sources=() file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    if [[ -f $file ]]; then lists+=("$file"); fi
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    if [[ -f $file && $file != */molvane-deb-src.sources ]]; then sources+=("$file"); fi
  done
  if ((${#lists[@]})); then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "${lists[@]}" |
      $sudo tee /etc/apt/sources.list.d/molvane-deb-src.list >/dev/null
  fi
  if ((${#sources[@]})); then
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \n]|$)/ && !/deb-src/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
      "${sources[@]}" | $sudo tee /etc/apt/sources.list.d/molvane-deb-src.sources >/dev/null
  fi
}

have_source_entries() {
  apt-cache showsrc "$1" 2>/dev/null | grep -q "^Package: $1\$"
}

# Named after the versions it is built from (keep it in step with the toolchain file).
fleet_versions="soci$(dpkg-query -W -f='${Version}' libsoci-dev | sed 's/-[^-]*$//')"
fleet_versions+="-sqlite$(dpkg-query -W -f='${Version}' libsqlite3-dev | sed 's/-[^-]*$//')"
fleet_versions+="-pq$(dpkg-query -W -f='${Version}' libpq-dev | sed 's/[.-].*$//')"
fleet_prefix=${MOLVANE_FLEET_MINGW_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/molvane/$fleet_versions-mingw64/prefix}
if [[ -f "$fleet_prefix/include/soci/postgresql/soci-postgresql.h" ]]; then
  echo "SOCI for MinGW: $fleet_prefix"
else
  mkdir -p "$(dirname "$fleet_prefix")"
  fleet_staging=$(mktemp -d "$(dirname "$fleet_prefix")/staging.XXXXXX")
  trap 'rm -rf "$fleet_staging"' EXIT
  if ! have_source_entries soci; then
    add_source_entries
    $sudo apt-get update
  fi
  "$ROOT/scripts/build-fleet-mingw.sh" "$fleet_staging"
  mv "$fleet_staging/prefix" "$fleet_prefix"
  rm -rf "$fleet_staging"
  echo "SOCI for MinGW: $fleet_prefix"
fi

qt_prefix=${MOLVANE_QT_MINGW_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/molvane/qt6.4.2-mingw64/prefix}
if [[ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
  echo "Qt for MinGW: $qt_prefix"
  exit 0
fi
mkdir -p "$(dirname "$qt_prefix")"
# Made beside the prefix and renamed into place, so an interrupted run leaves no half prefix.
staging=$(mktemp -d "$(dirname "$qt_prefix")/staging.XXXXXX")
trap 'rm -rf "$staging"' EXIT

archive=${MOLVANE_QT_MINGW_ARCHIVE:-}
if [[ -n "$archive" && "$archive" != /* ]]; then archive="$ROOT/$archive"; fi
if [[ -n "$archive" && -f "$archive" ]] &&
   echo "$QT_MINGW_SHA256  $archive" | sha256sum --check --status; then
  echo "Qt for MinGW: unpacking $archive"
  tar -xJf "$archive" -C "$staging"
else
  if [[ -n "$archive" ]]; then
    echo "Qt for MinGW: $archive is missing or its sha256 is not $QT_MINGW_SHA256; building it"
  fi
  if ! have_source_entries qt6-base; then
    add_source_entries
    $sudo apt-get update
  fi
  $sudo apt-get install -y --no-install-recommends dpkg-dev ninja-build
  "$ROOT/scripts/build-qt-mingw.sh" "$staging"
fi
[[ -f "$staging/prefix/lib/cmake/Qt6/Qt6Config.cmake" ]] || { echo "no Qt prefix was made" >&2; exit 1; }
mv "$staging/prefix" "$qt_prefix"
echo "Qt for MinGW: $qt_prefix"
