#!/usr/bin/env bash
# Cross-builds the fleet store's libraries for x86_64-w64-mingw32, static and Release: SQLite
# (Debian's sqlite3 source package, as the amalgamation) and SOCI with its SQLite backend only
# (Debian's soci source package, the version of the host's libsoci-dev).
#   scripts/build-fleet-mingw.sh WORKDIR     -> WORKDIR/prefix (about 2 minutes on 2 cores)
# scripts/install-deps.sh --windows runs it. Needs a deb-src entry for bookworm, dpkg-dev, tcl
# (SQLite writes its amalgamation with tclsh), cmake, ninja-build, libsoci-dev, libsqlite3-dev,
# g++-mingw-w64-x86-64-posix.
#
# Static, so the Windows programs ship no further DLL. No PostgreSQL backend: the Windows build
# keeps the fleet record in its own SQLite file only.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[[ $# == 1 ]] || { echo "usage: $0 WORKDIR" >&2; exit 2; }
WORK=$(mkdir -p "$1" && cd "$1" && pwd)
sqlite_version=$(dpkg-query -W -f='${source:Version}' libsqlite3-dev)
soci_version=$(dpkg-query -W -f='${source:Version}' libsoci-dev)
PREFIX="$WORK/prefix"
MINGW=x86_64-w64-mingw32
JOBS=2

cd "$WORK"
apt-get source "sqlite3=$sqlite_version" "soci=$soci_version" >/dev/null
SQLITE_SRC=$(ls -d "$WORK"/sqlite3-*/ | head -n 1)
SOCI_SRC=$(ls -d "$WORK"/soci-*/ | head -n 1)

# The amalgamation is generated on this machine (its generators are host programs), then
# compiled once for Windows.
mkdir -p "$WORK/sqlite-host"
(cd "$WORK/sqlite-host" && "$SQLITE_SRC/configure" --disable-tcl >/dev/null &&
  make -j"$JOBS" sqlite3.c >/dev/null)
mkdir -p "$PREFIX/include" "$PREFIX/lib" "$WORK/sqlite-mingw"
"$MINGW-gcc-posix" -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
  -DSQLITE_ENABLE_COLUMN_METADATA -c "$WORK/sqlite-host/sqlite3.c" -o "$WORK/sqlite-mingw/sqlite3.o"
rm -f "$PREFIX/lib/libsqlite3.a"
"$MINGW-gcc-ar-posix" rcs "$PREFIX/lib/libsqlite3.a" "$WORK/sqlite-mingw/sqlite3.o"
cp "$WORK/sqlite-host/sqlite3.h" "$WORK/sqlite-host/sqlite3ext.h" "$PREFIX/include/"

# SOCI finds SQLite by its own module, pointed at the library above; every other backend and
# Boost are switched off so that nothing of this machine leaks into the cross build.
cmake -G Ninja -S "$SOCI_SRC" -B "$WORK/soci-build" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw/compilers.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DSOCI_SHARED=OFF -DSOCI_STATIC=ON -DSOCI_TESTS=OFF -DSOCI_CXX11=ON -DSOCI_EMPTY=OFF -Wno-dev \
  -DWITH_BOOST=OFF -DWITH_SQLITE3=ON -DWITH_POSTGRESQL=OFF -DWITH_MYSQL=OFF -DWITH_ODBC=OFF \
  -DWITH_ORACLE=OFF -DWITH_FIREBIRD=OFF -DWITH_DB2=OFF -DWITH_VALGRIND=OFF \
  -DSQLITE3_INCLUDE_DIR="$PREFIX/include" -DSQLITE3_LIBRARY="$PREFIX/lib/libsqlite3.a" \
  >"$WORK/soci-configure.log"
ninja -C "$WORK/soci-build" -j"$JOBS" >/dev/null
cmake --install "$WORK/soci-build" >/dev/null
echo "fleet libraries for $MINGW in $PREFIX (sqlite3 $sqlite_version, soci $soci_version)"
