#!/usr/bin/env bash
# Makes the portable Windows folder from the mingw cross build: molvane.exe, molvanectl.exe, the
# Qt and MinGW runtime DLLs with the plugins Qt loads, all stripped, and a README.txt; nothing
# needs installing on the PC but the cable's FTDI driver.
#   scripts/package-windows.sh        -> build/molvane-windows/ and build/molvane-windows.zip
#   MOLVANE_MINGW_BUILD  cross build folder (default build/mingw, the mingw preset)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${MOLVANE_MINGW_BUILD:-$ROOT/build/mingw}
OUT="$ROOT/build/molvane-windows"
STRIP=x86_64-w64-mingw32-strip

if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
  (cd "$ROOT" && cmake --preset mingw -B "$BUILD")
fi
cmake --build "$BUILD" -j "${MOLVANE_JOBS:-2}" --target molvane molvanectl

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
("molvanectl --help"). This folder is the whole program: copy it anywhere (a USB stick will do)
and start molvane.exe. Nothing else needs installing but the driver of the cart's cable.
It runs on 64-bit Windows 10 and 11.

Connecting the cart
  Install the FTDI USB serial driver (VCP driver) for the cable, then plug the cart in. Molvane
  finds it by itself: it reads the COM ports that the FTDI driver has enumerated in the registry
  (HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS), opens each, and takes the one that answers like
  a cart. The status field at the top right then reads "Connected". Without the driver it reads
  "Disconnected"; resting the pointer on the field shows why ("No USB Cart drivers have been
  installed on this system."). "molvanectl ports" lists every port found and what answered;
  "molvanectl --port COM7 status" names a port directly.

Files
  comlog.txt   every byte that crossed the link, with times, in the folder the program was
               started from (started from a shortcut or Explorer: usually this folder).
  bootlog.txt  the bootloader exchange of the last firmware update, in this folder.
  Molvane.cfg  the firmware and bitmap paths, beside molvane.exe.
The program writes these files, so keep the folder where you may write (not "Program Files").
EOF

(cd "$(dirname "$OUT")" && cmake -E tar cf "$OUT.zip" --format=zip "$(basename "$OUT")")
echo "$OUT ($(du -sh "$OUT" | cut -f1)), $OUT.zip ($(du -h "$OUT.zip" | cut -f1))"
