#!/usr/bin/env bash
# Cross-builds Qt 6 Widgets for x86_64-w64-mingw32 (shared, Release) from Debian's own qt6-base
# source package, the version of the host's qt6-base-dev, whose moc and rcc the cross build uses.
#   scripts/build-qt-mingw.sh WORKDIR        -> WORKDIR/prefix (about 15 minutes on 2 cores)
# scripts/install-deps.sh --windows runs it when no prepared archive is at hand. Needs a deb-src
# entry for bookworm, dpkg-dev, ninja-build, cmake, qt6-base-dev, g++-mingw-w64-x86-64-posix.
#
# Left out: OpenGL, network, sql, dbus, printsupport, testlib, concurrent, xml. Kept in: Core, Gui,
# Widgets, the windows / offscreen / minimal platforms, the windowsvista style, gif/ico/jpeg.
# - Direct2D stays on (only direct2d1_1 off): without it qwindows.dll does not link.
# - Debian's repacked source has no src/3rdparty/wintab: tabletevent off.
# - opengl off alone leaves dynamic OpenGL on: also INPUT_opengl=no, opengl_dynamic, dynamicgl.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[[ $# == 1 ]] || { echo "usage: $0 WORKDIR" >&2; exit 2; }
WORK=$(mkdir -p "$1" && cd "$1" && pwd)
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)

cd "$WORK"
apt-get source "qt6-base=$version" >/dev/null
SRC=$(ls -d "$WORK"/qt6-base-*/ | head -n 1)
BUILD="$WORK/build"
PREFIX="$WORK/prefix"
cmake -G Ninja -S "$SRC" -B "$BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw/compilers.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
  -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_pkg_config=OFF \
  -DFEATURE_direct2d1_1=OFF -DFEATURE_tabletevent=OFF -DFEATURE_androiddeployqt=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF -DFEATURE_system_libb2=OFF
ninja -C "$BUILD" -j"$(nproc)"
cmake --install "$BUILD"
