#!/usr/bin/env bash
# Makes the Windows packages from the mingw cross build:
#   - the portable folder: molvane.exe, molvanectl.exe, the Qt and MinGW runtime DLLs with the
#     plugins Qt loads, all stripped, and a README.txt; nothing needs installing on the PC but
#     the cable's FTDI driver;
#   - the installer, made from the same files with NSIS (packaging/windows/molvane.nsi): it puts
#     them in Program Files\Molvane with a Start menu entry, an entry in the installed programs
#     and an uninstaller, and runs silently with /S.
#   scripts/package-windows.sh   -> build/molvane-windows/, build/molvane-windows.zip and
#                                   build/molvane-<version>-setup.exe
#   MOLVANE_MINGW_BUILD  cross build folder (default build/mingw, the mingw preset)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MOLVANE_MINGW_BUILD:-$ROOT/build/mingw}
OUT="$ROOT/build/molvane-windows"
STRIP=x86_64-w64-mingw32-strip
command -v makensis >/dev/null || { echo "makensis is missing (scripts/install-deps.sh --windows)" >&2; exit 1; }

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  (cd "$ROOT" && cmake --preset mingw -B "$BUILD")
fi
cmake --build "$BUILD" -j "${MOLVANE_JOBS:-2}" --target molvane molvanectl
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
[[ -n "$VERSION" ]] || { echo "no project version in $BUILD/CMakeCache.txt" >&2; exit 1; }

rm -rf "$OUT" "$OUT.zip"
# What goes in is the install rule's list (cmake/qt_windows_runtime.cmake).
cmake --install "$BUILD" --prefix "$OUT" >/dev/null
find "$OUT" -name '*.exe' -o -name '*.dll' | while read -r file; do
  "$STRIP" --strip-unneeded "$file"
done

# Windows' own editors read CR LF.
sed 's/$/\r/' >"$OUT/README.txt" <<'EOF'
Molvane - service and configuration tool for electronic carts

molvane.exe is the desktop program, molvanectl.exe the same operations from the command line
("molvanectl --help"). It runs on 64-bit Windows 10 and 11, installed or portable:
  - Installed (molvane-<version>-setup.exe): in Program Files\Molvane, started from the Start
    menu, removed under Settings > Apps. IT deploys it silently with "setup.exe /S" and removes
    it with "uninstall.exe /S" (in the program's folder).
  - Portable (molvane-windows.zip): this folder is the whole program. Copy it anywhere you may
    write (a USB stick will do) and start molvane.exe.
Nothing else needs installing but the driver of the cart's cable.

Connecting the cart
  Install the FTDI USB serial driver (VCP driver) for the cable, then plug the cart in. Molvane
  finds it by itself: it reads the COM ports that the FTDI driver has enumerated in the registry
  (HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS), opens each, and takes the one that answers like
  a cart. The status field at the top right then reads "Connected".
  Without the driver it reads "Disconnected", and resting the pointer on the field shows why:
  "No USB Cart drivers have been installed on this system." Then install the FTDI VCP driver
  for the cart's USB cable and plug the cart in again. "molvanectl ports" says the same, and
  lists every port found and what answered; "molvanectl --port COM7 status" names a port.

Files
  Molvane.cfg  the firmware and bitmap paths; bootlog.txt, the bootloader exchange of the last
  firmware update; CustomerTitle.bmp, the last customer title sent. Portable, they are kept in
  this folder. Installed, or wherever this folder may not be written, they are kept for each
  user in %APPDATA%\Molvane; a Molvane.cfg already beside the program is copied there once and
  left where it was. Uninstalling leaves them.
  MolvaneFleet.db  the fleet record: every cart serviced and its access log kept beyond the
  cart's ("molvanectl fleet list", File > Fleet...), an SQLite file beside Molvane.cfg. This
  build keeps it in that file only: a site's PostgreSQL server is not in it.
  comlog.txt   every byte that crossed the link, with times, in the folder the program was
  started from; where that may not be written (Program Files, from the Start menu), beside the
  settings. About > About and File > Save Support Report name the folder in use.
EOF

(cd "$(dirname "$OUT")" && cmake -E tar cf "$OUT.zip" --format=zip "$(basename "$OUT")")

# The installer's file lists: each file of the portable folder put in place, and removed again
# one by one by the uninstaller, its folders last.
LISTS="$ROOT/build/molvane-installer"
rm -rf "$LISTS"
mkdir -p "$LISTS"
winpath() { local path=${1#./}; path=${path%.}; echo "\$INSTDIR${path:+\\${path//\//\\}}"; }
(cd "$OUT" && find . -type d | LC_ALL=C sort) >"$LISTS/folders"
while read -r folder; do
  echo "SetOutPath \"$(winpath "$folder")\""
  find "$OUT/$folder" -maxdepth 1 -type f | LC_ALL=C sort | sed 's/^/File "/; s/$/"/'
done <"$LISTS/folders" >"$LISTS/install.nsh"
(cd "$OUT" && find . -type f | LC_ALL=C sort) | while read -r file; do
  echo "Delete \"$(winpath "$file")\""
done >"$LISTS/uninstall.nsh"
LC_ALL=C sort -r "$LISTS/folders" | grep -vx '\.' | while read -r folder; do
  echo "RMDir \"$(winpath "$folder")\""
done >>"$LISTS/uninstall.nsh"

SETUP="$ROOT/build/molvane-$VERSION-setup.exe"
makensis -V2 -NOCD -DVERSION="$VERSION" -DFILES="$LISTS" -DSIZE_KB="$(du -sk "$OUT" | cut -f1)" \
  -DICON="$ROOT/packaging/windows/molvane.ico" -DOUTFILE="$SETUP" \
  "$ROOT/packaging/windows/molvane.nsi"
echo "$OUT ($(du -sh "$OUT" | cut -f1)), $OUT.zip ($(du -h "$OUT.zip" | cut -f1)),"
echo "$SETUP ($(du -h "$SETUP" | cut -f1))"
