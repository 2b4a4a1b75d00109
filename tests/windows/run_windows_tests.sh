#!/usr/bin/env bash
# The Windows build, cross-compiled with MinGW-w64 and tested under Wine in a fresh prefix whose
# display is an X server of its own (Xvfb):
#   1. the unit tests that need no simulator in-process, the GUI tests (offscreen), and the
#      Windows-only tests (registry discovery, the serial port through a COM port mapped to a
#      pseudo-terminal);
#   2. the portable folder (scripts/package-windows.sh), from which both programs run below;
#   3. molvanectl.exe and molvane.exe against cartsim (run on Linux, its pseudo-terminal mapped to
#      COM5 and registered as an FTDI device), found by registry discovery alone; molvane.exe also
#      without the driver and with only a registered port that is missing. What the window shows
#      is read from the file that its --dump-window option keeps writing; it is driven with the
#      keyboard through the X server, and screenshots go to the artefacts folder.
# Installs nothing (scripts/install-deps.sh --windows does). Exits non-zero on any failure.
#
#   MOLVANE_MINGW_BUILD  cross build folder          (default build/mingw, the mingw preset)
#   MOLVANE_HOST_BUILD   Linux build holding cartsim (default build/default)
#   MOLVANE_ARTIFACTS    screenshots, window texts, logs (default build/windows-artifacts)
#   MOLVANE_WERROR=ON    warnings are errors in the cross build
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
MINGW_BUILD=${MOLVANE_MINGW_BUILD:-$ROOT/build/mingw}
HOST_BUILD=${MOLVANE_HOST_BUILD:-$ROOT/build/default}
ARTIFACTS=${MOLVANE_ARTIFACTS:-$ROOT/build/windows-artifacts}
PKG="$ROOT/build/molvane-windows"
JOBS=${MOLVANE_JOBS:-2}
TEST_COM=COM9   # the pty_responder's port for the serial tests
CART_COM=COM5   # cartsim's port for the end-to-end run

say() { echo "--- $* (${SECONDS} s)"; }
die() { echo "FAIL: $*" >&2; exit 1; }

for tool in x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-strip wine wineserver cmake ctest g++ \
  objcopy cmp Xvfb xdotool import; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh --windows)"
done

# ---------------------------------------------------------------- build
say "cross build in $MINGW_BUILD"
if [[ ! -f "$MINGW_BUILD/CMakeCache.txt" ]]; then
  (cd "$ROOT" && cmake --preset mingw -B "$MINGW_BUILD" -DMOLVANE_WERROR="${MOLVANE_WERROR:-OFF}")
fi
cmake --build "$MINGW_BUILD" -j "$JOBS"
MOLVANE_MINGW_BUILD="$MINGW_BUILD" "$ROOT/scripts/package-windows.sh"
CTL="$PKG/molvanectl.exe"
GUI="$PKG/molvane.exe"

say "cartsim in $HOST_BUILD"
if [[ ! -f "$HOST_BUILD/CMakeCache.txt" ]]; then
  cmake -S "$ROOT" -B "$HOST_BUILD" -DMOLVANE_BUILD_GUI=OFF -DMOLVANE_BUILD_BENCH=OFF
fi
cmake --build "$HOST_BUILD" --target cartsim -j "$JOBS"
CARTSIM="$HOST_BUILD/src/cartsim"

# ---------------------------------------------------------------- Wine prefix
WORK=$(mktemp -d /tmp/molvane-wine.XXXXXX)
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
STARTED_PIDS=()
cleanup() {
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true   # this prefix's server only
  rm -rf "$WORK"
}
trap cleanup EXIT

# Waits up to 10 s for a file to hold a line matching a pattern.
wait_for() {
  local file=$1 pattern=$2
  for _ in $(seq 100); do
    grep -q "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

say "fresh Wine prefix in $WINEPREFIX"
unset DISPLAY
wine wineboot -i >"$WORK/wineboot.log" 2>&1 || { cat "$WORK/wineboot.log"; die "wineboot failed"; }
wineserver -w
reg_add() { wine reg add "$@" /f >/dev/null 2>&1 || die "wine reg add $1"; }
# Debian's Wine does not load its own fonts from /usr/share/wine/fonts: they go into the prefix,
# Tahoma (the dialog font) registered as Windows registers it, since Qt's FreeType engine finds
# font files through that key. Marlett draws the caption buttons.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" ||
  die "Wine's fonts are missing (fonts-wine)"
FONTS='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
reg_add "$FONTS" /v 'Tahoma (TrueType)' /t REG_SZ /d tahoma.ttf
reg_add "$FONTS" /v 'Tahoma Bold (TrueType)' /t REG_SZ /d tahomabd.ttf

g++ -std=c++20 -O1 -Wall -Wextra "$ROOT/tests/windows/host/pty_responder.cpp" -o "$WORK/pty_responder"

dosdevice() { echo "$WINEPREFIX/dosdevices/$(echo "$1" | tr 'A-Z' 'a-z')"; }

# ---------------------------------------------------------------- unit tests
"$WORK/pty_responder" "$(dosdevice $TEST_COM)" >"$WORK/responder.log" 2>&1 &
STARTED_PIDS+=($!)
wait_for "$WORK/responder.log" '^ready' || die "pty_responder did not start"

say "unit tests under Wine"
export MOLVANE_TEST_COM=$TEST_COM
status=0
# The COM port tests share one port, so they run one at a time after the rest.
ctest --test-dir "$MINGW_BUILD" -j "$JOBS" --timeout 120 --output-on-failure \
  -E 'MappedComPort' | tee "$WORK/ctest.log" || status=1
ctest --test-dir "$MINGW_BUILD" -j 1 --timeout 120 --output-on-failure \
  -R 'MappedComPort' | tee -a "$WORK/ctest.log" || status=1
[[ $status == 0 ]] || die "unit tests under Wine"
grep -q 'MappedComPort' "$WORK/ctest.log" || die "the COM port tests did not run"
# Wine lets a second opener into a COM port, so that one test is skipped there; nothing else is.
if grep -E '\(Skipped\)|\*\*\*Skipped' "$WORK/ctest.log" | grep -v 'MappedComPort.APortIsNotShared'; then
  die "tests were skipped"
fi

# ---------------------------------------------------------------- end to end
# From here on the prefix's processes draw on an X server of their own, on a virtual desktop the
# size of the screen: Wine then frames the windows itself, as Windows does, and keeps the keyboard
# focus on the active one, with no window manager on the X server. The desktop process keeps the
# display it was started with, so the Wine server, and with it every process of the prefix,
# ends first; the unit tests above ran without a display (the GUI tests are offscreen).
reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 800x600
timeout 60 wineserver -w || wineserver -k
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
STARTED_PIDS+=($!)
wait_for "$WORK/display" '^[0-9]' || { cat "$WORK/xvfb.log"; die "Xvfb did not start"; }
export DISPLAY=":$(head -n 1 "$WORK/display")"
say "X server on display $DISPLAY"
say "molvanectl.exe without the FTDI driver key"
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
ctl() { (cd "$WORK" && wine "$CTL" "$@") >"$WORK/out.txt" 2>&1; }
out_has() { grep -qE -- "$1" "$WORK/out.txt"; }
ctl_fails() { ! ctl "$@"; }
ctl_shows() { local pattern=$1; shift; ctl "$@" && out_has "$pattern"; }
ctl_lacks() { local pattern=$1; shift; ctl "$@" && ! out_has "$pattern"; }
win_path() { winepath -w "$1" 2>/dev/null; }
FTDI='HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS'
register() {  # register INSTANCE PORT
  wine reg add "$FTDI\\$1\\0000\\Device Parameters" /v PortName /t REG_SZ /d "$2" /f >/dev/null 2>&1
}

# The desktop program, from the portable folder. Qt's options go on the command line (Wine does
# not hand QT_* variables to it); with the GDI font engine Wine leaves edit fields blank.
# --quit-after only bounds a run that the keyboard failed to end.
mkdir -p "$ARTIFACTS"
GUI_PID=""
gui_start() {  # gui_start NAME
  GUI_NAME=$1
  GUI_TEXTS="$ARTIFACTS/$1-window.txt"
  rm -f "$GUI_TEXTS"
  (cd "$WORK" && exec wine "$GUI" -platform windows:fontengine=freetype --quit-after 60000 \
     --dump-window "$(win_path "$GUI_TEXTS")") >"$ARTIFACTS/$1.log" 2>&1 &
  GUI_PID=$!
  STARTED_PIDS+=($GUI_PID)
}
# What the window shows, one "title<TAB>control<TAB>text" line each (see src/gui/window_texts.h).
shows() {  # shows CONTROL TEXT: a control of an open window reads exactly TEXT
  awk -F'\t' -v c="$1" -v t="$2" '$2 == c && $3 == t {found = 1} END {exit !found}' "$GUI_TEXTS"
}
shows_like() {  # shows_like CONTROL REGEX
  awk -F'\t' -v c="$1" -v r="$2" '$2 == c && $3 ~ r {found = 1} END {exit !found}' "$GUI_TEXTS"
}
lacks() { ! awk -F'\t' -v c="$1" '$2 == c {found = 1} END {exit !found}' "$GUI_TEXTS"; }
eventually() {  # eventually SECONDS COMMAND...: COMMAND holds within SECONDS
  local tenths=$(($1 * 10)); shift
  for ((i = 0; i < tenths; i++)); do
    "$@" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
ended() { ! kill -0 "$GUI_PID" 2>/dev/null; }
gui_key() { xdotool key "$1"; }
# Alt+F4 closes the window (Enter and Escape inside it no longer do); the program must end with
# 0 within 10 s.
gui_close() {
  gui_key alt+F4
  if ! eventually 10 ended; then
    kill "$GUI_PID" 2>/dev/null
    return 1
  fi
  wait "$GUI_PID"
}
screenshot() { import -window root "$ARTIFACTS/$1.png"; }
STATUS=Status  # the status field's accessible name
NO_DRIVER="No USB Cart drivers have been installed on this system. Install the FTDI VCP driver \
for the cart's USB cable, then plug the cart in again."

mkdir -p "$WORK/flash"
"$CARTSIM" --link "$(dosdevice $CART_COM)" --state "$WORK/cart.state" \
  --dump-flash "$WORK/flash" >"$WORK/cartsim.log" 2>&1 &
CARTSIM_PID=$!
STARTED_PIDS+=($CARTSIM_PID)
wait_for "$WORK/cartsim.log" '^linked as' || die "cartsim did not start"

check "without the FTDI driver key the driver is reported missing" ctl_fails status
check "  ... with its own message and what to do" \
  out_has 'No USB Cart drivers have been installed on this system\. Install the FTDI VCP driver'

say "molvane.exe without the FTDI driver key"
gui_start no-driver
check "the status field reads Disconnected" eventually 30 shows $STATUS Disconnected
check "  ... and its tip says that the driver is missing" shows "$STATUS (tip)" "$NO_DRIVER"
check "  ... with no message box" lacks qt_msgbox_label
screenshot no-driver
check "  ... Alt+F4 ends the program" gui_close

# A stale entry of an adapter no longer plugged in comes first, as the driver leaves them.
[[ ! -e "$(dosdevice COM3)" ]] || die "COM3 exists in this Wine prefix; the stale entry needs a missing port"
register 'VID_0403+PID_6001+A0STALE' COM3

say "molvane.exe with only a registered port that is missing"
gui_start missing-port
check "the status field reads Disconnected" eventually 30 shows $STATUS Disconnected
check "  ... with no tip: the driver is there" lacks "$STATUS (tip)"
check "  ... Alt+F4 ends the program" gui_close

register 'VID_0403+PID_6001+A6008isPA' $CART_COM

say "molvane.exe against cartsim on $CART_COM"
gui_start cart
check "the PIN list's age is told in a message box" \
  eventually 30 shows_like qt_msgbox_label '^(A pin code |Factory default PIN still active)'
screenshot cart-message
gui_key Return
check "Enter closes the box, and the status field reads Connected" \
  eventually 10 eval 'shows $STATUS Connected && lacks qt_msgbox_label'
screenshot cart-connected
check "  ... Alt+F4 ends the program" gui_close
check "its trace names the COM port" grep -q "^OPEN: $CART_COM @38400" "$WORK/comlog.txt"
check "  ... and shows the PIN list read" grep -q "pin_list_dump" "$WORK/comlog.txt"
cp "$WORK/comlog.txt" "$ARTIFACTS/cart-comlog.txt"

say "molvanectl.exe against cartsim on $CART_COM"

check "status finds the cart by registry discovery" ctl status
check "  ... and prints its status byte" out_has '^[0-9A-Fa-f]{2}'
check "ports lists the cart's port" ctl ports
check "  ... as answering" out_has "^$CART_COM: cart answered"
check "info reads the versions" ctl info
check "  ... firmware and hardware lines" out_has '^Firmware version 1: .+'
check "pins list" ctl pins list
check "  ... holds the cart's PIN 1234" out_has '^1234[[:space:]]'
check "pins add 556677" ctl pins add 556677
check "  ... is in the list" ctl_shows '^556677[[:space:]]' pins list
check "pins remove 556677" ctl pins remove 556677
check "  ... is gone from the list" ctl_lacks '^556677[[:space:]]' pins list
check "pins export" ctl pins export "$(win_path "$WORK/pins.txt")"
check "  ... the file holds PIN 1234" grep -qP '^1234\t' "$WORK/pins.txt"
check "log export" ctl log export "$(win_path "$WORK/log.txt")"
check "  ... the file has events" test -s "$WORK/log.txt"

head -c 4096 /dev/urandom >"$WORK/firmware.bin"
objcopy -I binary -O ihex "$WORK/firmware.bin" "$WORK/firmware.hex"
check "flash main" ctl flash main "$(win_path "$WORK/firmware.hex")"
check "  ... reports success" out_has 'Complete'
check "the trace names the COM port" grep -q "^OPEN: $CART_COM @38400" "$WORK/comlog.txt"

kill -TERM "$CARTSIM_PID"
wait "$CARTSIM_PID" || true
check "the main board's flash holds the file's image" \
  cmp -n 4096 "$WORK/firmware.bin" "$WORK/flash/main.bin"

if [[ $failures != 0 ]]; then
  echo "--- last molvanectl output:"; cat "$WORK/out.txt"
  die "$failures end-to-end checks"
fi
say "Windows build: all tests passed under Wine; screenshots in $ARTIFACTS"
