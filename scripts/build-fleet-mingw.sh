#!/usr/bin/env bash
# Cross-builds the fleet store's libraries for x86_64-w64-mingw32, static and Release: SQLite
# (Debian's sqlite3 source package, as the amalgamation), libpq (the client library of Debian's
# PostgreSQL source package, libpq-dev's version where the mirror still has it, else another
# version of the same major; without OpenSSL) and SOCI with its SQLite and PostgreSQL backends
# (Debian's soci source package, the version of the host's libsoci-dev).
#   scripts/build-fleet-mingw.sh WORKDIR     -> WORKDIR/prefix (about 4 minutes on 2 cores)
# scripts/install-deps.sh --windows runs it. Needs a deb-src entry for bookworm, dpkg-dev, tcl
# (SQLite writes its amalgamation with tclsh), cmake, ninja-build, libsoci-dev, libsqlite3-dev,
# libpq-dev, g++-mingw-w64-x86-64-posix.
#
# Static, so the Windows programs ship no further DLL. libpq is built without OpenSSL (Debian has
# none for MinGW): the Windows programs reach a site server without TLS only.
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

# A security update's source may be gone from the mirror while its binaries are installed; the
# client protocol is the same across a major version, so an older source of it serves as well.
pg_source=$(dpkg-query -W -f='${source:Package}' libpq-dev)
pg_versions=("$(dpkg-query -W -f='${source:Version}' libpq-dev)")
pg_versions+=($(apt-cache showsrc "$pg_source" | sed -n 's/^Version: //p' | sort -rV))
for pg_version in "${pg_versions[@]}"; do
  apt-get source "$pg_source=$pg_version" >/dev/null 2>&1 && break
done
PG_SRC=$(ls -d "$WORK/$pg_source"-*/ 2>/dev/null | head -n 1)
[[ -n $PG_SRC ]] || { echo "no source of $pg_source could be fetched" >&2; exit 1; }

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

# libpq and the two PostgreSQL libraries it needs. On Windows its own build makes a DLL and an
# import library, so the static library is made here from the same objects. Those bring a small
# pthreads of their own, whose names would clash with MinGW's: within libpq they are renamed.
(cd "$PG_SRC" && ./configure --host="$MINGW" CC="$MINGW-gcc-posix" --without-readline \
  --without-zlib --without-icu --without-openssl --without-llvm --disable-nls \
  >"$WORK/pq-configure.log" 2>&1)
make -C "$PG_SRC/src/backend" -j"$JOBS" generated-headers >/dev/null
make -C "$PG_SRC/src/common" -j"$JOBS" libpgcommon_shlib.a >/dev/null
make -C "$PG_SRC/src/port" -j"$JOBS" libpgport_shlib.a >/dev/null
make -C "$PG_SRC/src/interfaces/libpq" -j"$JOBS" all-static-lib >/dev/null
mkdir -p "$WORK/pq-objects"
for name in self setspecific getspecific mutex_init mutex_lock mutex_unlock; do
  echo "pthread_$name pq_pthread_$name"
done >"$WORK/pq-pthread-names"
for object in "$PG_SRC"/src/interfaces/libpq/*.o; do
  [[ $object == */win32ver.o ]] && continue
  "$MINGW-objcopy" --redefine-syms="$WORK/pq-pthread-names" "$object" \
    "$WORK/pq-objects/$(basename "$object")"
done
rm -f "$PREFIX/lib/libpq.a"
"$MINGW-gcc-ar-posix" rcs "$PREFIX/lib/libpq.a" "$WORK"/pq-objects/*.o
cp "$PG_SRC/src/common/libpgcommon_shlib.a" "$PG_SRC/src/port/libpgport_shlib.a" "$PREFIX/lib/"
mkdir -p "$PREFIX/include/libpq"
cp "$PG_SRC/src/interfaces/libpq/libpq-fe.h" "$PG_SRC/src/include/postgres_ext.h" \
  "$PG_SRC/src/include/pg_config_ext.h" "$PREFIX/include/"
cp "$PG_SRC/src/include/libpq/libpq-fs.h" "$PREFIX/include/libpq/"

# SOCI finds SQLite and PostgreSQL by its own modules, pointed at the libraries above; every
# other backend and Boost are switched off so that nothing of this machine leaks into the cross
# build.
cmake -G Ninja -S "$SOCI_SRC" -B "$WORK/soci-build" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw/compilers.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DSOCI_SHARED=OFF -DSOCI_STATIC=ON -DSOCI_TESTS=OFF -DSOCI_CXX11=ON -DSOCI_EMPTY=OFF -Wno-dev \
  -DWITH_BOOST=OFF -DWITH_SQLITE3=ON -DWITH_POSTGRESQL=ON -DWITH_MYSQL=OFF -DWITH_ODBC=OFF \
  -DWITH_ORACLE=OFF -DWITH_FIREBIRD=OFF -DWITH_DB2=OFF -DWITH_VALGRIND=OFF \
  -DSQLITE3_INCLUDE_DIR="$PREFIX/include" -DSQLITE3_LIBRARY="$PREFIX/lib/libsqlite3.a" \
  -DPOSTGRESQL_INCLUDE_DIR="$PREFIX/include" -DPOSTGRESQL_LIBRARY="$PREFIX/lib/libpq.a" \
  >"$WORK/soci-configure.log"
ninja -C "$WORK/soci-build" -j"$JOBS" >/dev/null
cmake --install "$WORK/soci-build" >/dev/null
echo "fleet libraries for $MINGW in $PREFIX (sqlite3 $sqlite_version, soci $soci_version," \
  "libpq $pg_version)"
