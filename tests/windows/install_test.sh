#!/usr/bin/env bash
# The Windows installer as IT deploys it, under Wine in a fresh prefix whose display is an X
# server of its own:
#   - installed silently (/S): the programs in Program Files\Molvane, the Start menu entry and
#     the entry in the installed programs with version and publisher;
#   - the installed molvane.exe, started in its own folder as the Start menu entry starts it,
#     against cartsim (its pseudo-terminal mapped to COM5 and registered as an FTDI device) until
#     the status field reads "Connected"; a firmware file chosen on the Service page puts
#     Molvane.cfg in the user's application data folder, About names that folder, and nothing is
#     written in Program Files;
#   - the installed molvanectl.exe reads the cart's status, and its support report names the
#     same settings folder;
#   - uninstalled silently: the program files, the Start menu entry and both registry entries are
#     gone, the user's settings stay.
#   tests/windows/install_test.sh [SETUP.exe]   (default: build/molvane-<version>-setup.exe,
#                                               from scripts/package-windows.sh)
# Installs nothing on Linux (scripts/install-deps.sh --windows does). Exits non-zero on any
# failure.
#   MOLVANE_HOST_BUILD   Linux build holding cartsim (default build/default)
#   MOLVANE_ARTIFACTS    screenshots, window texts, logs (default build/windows-artifacts)
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SETUP=${1:-$(ls -t "$ROOT"/build/molvane-*-setup.exe 2>/dev/null | head -n 1)}
HOST_BUILD=${MOLVANE_HOST_BUILD:-$ROOT/build/default}
ARTIFACTS=${MOLVANE_ARTIFACTS:-$ROOT/build/windows-artifacts}
CART_COM=COM5

source "$ROOT/tests/windows/wine_session.sh"

for tool in wine wineserver winepath Xvfb xdotool import objcopy; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh --windows)"
done
[[ -f "$SETUP" ]] || die "no installer (scripts/package-windows.sh makes build/molvane-<version>-setup.exe)"
SETUP=$(realpath "$SETUP")
VERSION=$(basename "$SETUP" | sed -n 's/^molvane-\(.*\)-setup\.exe$/\1/p')
CARTSIM="$HOST_BUILD/src/cartsim"
[[ -x "$CARTSIM" ]] || die "no cartsim in $HOST_BUILD (tests/windows/run_windows_tests.sh builds it)"

WORK=$(mktemp -d /tmp/molvane-install.XXXXXX)
cleanup() {
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wine_end
  rm -rf "$WORK"
}
trap cleanup EXIT
mkdir -p "$ARTIFACTS"

say "fresh Wine prefix in $WORK/prefix"
wine_fresh_prefix
C="$WINEPREFIX/drive_c"
INSTALLED="$C/Program Files/Molvane"
START_MENU_ENTRY="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Molvane.lnk"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Molvane'
APPDATA_WIN=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
[[ "$APPDATA_WIN" == ?:\\* ]] || die "no application data folder in the prefix ($APPDATA_WIN)"
SETTINGS_WIN="$APPDATA_WIN\\Molvane"
SETTINGS=$(winepath -u "$SETTINGS_WIN" 2>/dev/null)
uninstall_entry() { wine reg query "$UNINSTALL_KEY" >"$WORK/uninstall-key.txt" 2>/dev/null; }
entry_value() {  # entry_value NAME REGEX: the uninstall entry's value NAME matches REGEX
  grep -qE "^ +$1 +REG_[A-Z]+ +$2"$'\r?$' "$WORK/uninstall-key.txt"
}

say "molvane-$VERSION-setup.exe /S"
check "the installer ends with 0" wine "$(win_path "$SETUP")" /S
for file in molvane.exe molvanectl.exe Qt6Core.dll Qt6Widgets.dll platforms/qwindows.dll \
  README.txt uninstall.exe; do
  check "Program Files\\Molvane\\${file//\//\\}" test -f "$INSTALLED/$file"
done
check "the Start menu entry" test -f "$START_MENU_ENTRY"
check "  ... starts molvane.exe" grep -qaF 'Molvane\molvane.exe' "$START_MENU_ENTRY"
check "the installed programs list Molvane" uninstall_entry
check "  ... with its version" entry_value DisplayVersion "$VERSION"
check "  ... its publisher" entry_value Publisher 'Molvane developers'
check "  ... its icon" entry_value DisplayIcon '.*\\Molvane\\molvane\.exe,0'
check "  ... and a silent uninstaller" entry_value QuietUninstallString \
  '".*\\Molvane\\uninstall\.exe" /S'
(cd "$INSTALLED" && find . | LC_ALL=C sort) >"$WORK/installed-files.txt"

wine_desktop
register 'VID_0403+PID_6001+A6008isPA' $CART_COM
start_cartsim "$CARTSIM" $CART_COM --state "$WORK/cart.state"
head -c 4096 /dev/urandom >"$WORK/firmware.bin"
objcopy -I binary -O ihex "$WORK/firmware.bin" "$WORK/main.hex"
FIRMWARE=$(win_path "$WORK/main.hex")
CHOSEN=${FIRMWARE//\\//}  # as Qt gives back a chosen file: with forward slashes

# The desktop program is driven with the keyboard one step after the other: a step that fails
# ends the test, since the keys meant for the next one would land somewhere else.
step() {  # step DESCRIPTION COMMAND...
  local before=$failures
  check "$@"
  [[ $failures == "$before" ]] && return 0
  screenshot "installed-failed"
  cat "$ARTIFACTS/$GUI_NAME-window.txt" "$ARTIFACTS/$GUI_NAME.log" "$WORK/cartsim.log" || true
  die "the installed desktop program"
}

say "the installed molvane.exe against cartsim on $CART_COM"
gui_start installed "$(win_path "$INSTALLED/molvane.exe")" "$INSTALLED"
step "the PIN list's age is told in a message box" eventually 30 shows_like qt_msgbox_label \
  '^(A pin code |Factory default PIN still active)'
gui_key Return
step "  ... Enter closes it, and the status field reads Connected" \
  eventually 10 eval 'shows $STATUS Connected && lacks qt_msgbox_label'
screenshot installed-connected
gui_key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab
step "Ctrl+Tab four times brings the Service page" eventually 10 shows qt_tabwidget_tabbar \
  'Setup | Pin List | Log | Testing | Service* | Factory Calibration'
# Tab reaches the main firmware's field, then its Browse button. The file dialog is Windows'
# own: Qt counts it open a moment before it takes keys.
gui_key Tab Tab space
step "Browse opens the file dialog" eventually 10 has_window Controller
sleep 1
xdotool type --delay 20 "$FIRMWARE"
gui_key Return
step "Browse takes a file, which shows on the page" eventually 15 shows Main "$CHOSEN"
check "Molvane.cfg holds it, in the user's application data folder" \
  eventually 5 grep -qF "\"$CHOSEN\"" "$SETTINGS/Molvane.cfg"
gui_key alt Right Down Return
step "About > About names that folder" \
  eventually 10 shows settingsFolder "Settings folder: $SETTINGS_WIN"
screenshot installed-about
gui_key Return
step "  ... and Enter closes it" eventually 10 lacks settingsFolder
step "Alt+F4 ends the program" gui_close
check "started in Program Files, it kept its trace beside the settings" \
  grep -q "^OPEN: $CART_COM @38400" "$SETTINGS/comlog.txt"

say "the installed molvanectl.exe"
ctl() { (cd "$WORK" && wine "$(win_path "$INSTALLED/molvanectl.exe")" "$@") >"$WORK/out.txt" 2>&1; }
check "status reads the cart" ctl status
check "  ... its status byte" grep -qE '^[0-9A-Fa-f]{2}' "$WORK/out.txt"
check "report writes the support report" ctl report "$(win_path "$WORK/report.txt")"
check "  ... which names the user's folder as the settings folder" grep -qF \
  "Settings folder (Molvane.cfg, the desktop program's bootlog.txt): $SETTINGS_WIN (not beside" \
  "$WORK/report.txt"
(cd "$INSTALLED" && find . | LC_ALL=C sort) >"$WORK/files-after-use.txt"
check "nothing was written in Program Files" \
  diff "$WORK/installed-files.txt" "$WORK/files-after-use.txt"
kill -TERM "$CARTSIM_PID"
wait "$CARTSIM_PID" || true

say "uninstall.exe /S"
# The uninstaller runs on from a copy of itself, so that it can remove its own file; what it
# leaves is checked once that copy is done.
check "the uninstaller ends with 0" wine "$(win_path "$INSTALLED/uninstall.exe")" /S
check "the program files are gone" eventually 30 test ! -e "$INSTALLED"
check "the Start menu entry is gone" test ! -e "$START_MENU_ENTRY"
check "the installed programs no longer list Molvane" eval '! uninstall_entry'
check "  ... nor is its folder remembered" eval "! wine reg query 'HKLM\\Software\\Molvane' >/dev/null 2>&1"
check "the user's settings stay" grep -qF "\"$CHOSEN\"" "$SETTINGS/Molvane.cfg"

if [[ $failures != 0 ]]; then
  cat "$ARTIFACTS/installed.log" "$WORK/out.txt" || true
  die "$failures install checks"
fi
say "the Windows installer: all checks passed under Wine"
