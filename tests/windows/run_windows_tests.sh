#!/usr/bin/env bash
# The Windows build, cross-compiled with MinGW-w64 and tested under Wine in a fresh prefix:
#   1. the unit tests that need no simulator in-process, and the Windows-only tests (registry
#      discovery, the serial port through a COM port mapped to a pseudo-terminal);
#   2. molvanectl.exe against cartsim (run on Linux, its pseudo-terminal mapped to COM5 and
#      registered as an FTDI device), found by registry discovery alone.
# Installs nothing (scripts/install-deps.sh --windows does). Exits non-zero on any failure.
#
#   MOLVANE_MINGW_BUILD  cross build folder          (default build/mingw, the mingw preset)
#   MOLVANE_HOST_BUILD   Linux build holding cartsim (default build/default)
#   MOLVANE_WERROR=ON    warnings are errors in the cross build
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
MINGW_BUILD=${MOLVANE_MINGW_BUILD:-$ROOT/build/mingw}
HOST_BUILD=${MOLVANE_HOST_BUILD:-$ROOT/build/default}
JOBS=${MOLVANE_JOBS:-2}
TEST_COM=COM9   # the pty_responder's port for the serial tests
CART_COM=COM5   # cartsim's port for the end-to-end run

say() { echo "--- $*"; }
die() { echo "FAIL: $*" >&2; exit 1; }

for tool in x86_64-w64-mingw32-g++-posix wine wineserver cmake ctest g++ objcopy cmp; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh --windows)"
done

# ---------------------------------------------------------------- build
say "cross build in $MINGW_BUILD"
if [[ ! -f "$MINGW_BUILD/CMakeCache.txt" ]]; then
  (cd "$ROOT" && cmake --preset mingw -B "$MINGW_BUILD" -DMOLVANE_WERROR="${MOLVANE_WERROR:-OFF}")
fi
cmake --build "$MINGW_BUILD" -j "$JOBS"
CTL="$MINGW_BUILD/src/molvanectl.exe"

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

say "fresh Wine prefix in $WINEPREFIX"
wine wineboot -i >"$WORK/wineboot.log" 2>&1 || { cat "$WORK/wineboot.log"; die "wineboot failed"; }
wineserver -w

g++ -std=c++20 -O1 -Wall -Wextra "$ROOT/tests/windows/host/pty_responder.cpp" -o "$WORK/pty_responder"

# Waits up to 10 s for a file to hold a line matching a pattern.
wait_for() {
  local file=$1 pattern=$2
  for _ in $(seq 100); do
    grep -q "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

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
say "molvanectl.exe against cartsim on $CART_COM"
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

mkdir -p "$WORK/flash"
"$CARTSIM" --link "$(dosdevice $CART_COM)" --state "$WORK/cart.state" \
  --dump-flash "$WORK/flash" >"$WORK/cartsim.log" 2>&1 &
CARTSIM_PID=$!
STARTED_PIDS+=($CARTSIM_PID)
wait_for "$WORK/cartsim.log" '^linked as' || die "cartsim did not start"

check "without the FTDI driver key the driver is reported missing" ctl_fails status
check "  ... with its own message" \
  out_has 'No USB Cart drivers have been installed on this system\.'

# A stale entry of an adapter no longer plugged in comes first, as the driver leaves them.
register 'VID_0403+PID_6001+A0STALE' COM3
register 'VID_0403+PID_6001+A6008isPA' $CART_COM

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
say "Windows build: all tests passed under Wine"
