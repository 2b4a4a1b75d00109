#!/usr/bin/env bash
# The Debian package as a technician gets it: lintian finds no error in it and none of its
# hardening tags (the programs carry Debian's hardening flags; the stack protector, which lintian
# does not look for, is looked for here), `apt-get install` installs it with the packages it
# declares, and the installed programs run as an ordinary user against a simulated cart (the
# installed cartsim):
#   - molvane --help and --version answer without a window; cartsim --link replaces no file;
#   - molvanectl --version names the package's version, molvanectl status reads the cart, and
#     its support report names ~/.config/molvane as the settings folder;
#   - the desktop program on an X server of its own, driven with the keyboard: a firmware file
#     chosen on the Service page and loaded into the main board puts Molvane.cfg and bootlog.txt
#     in ~/.config/molvane and nothing beside the program; comlog.txt stays where it started;
#   - the desktop program offscreen reads "Connected".
#   tests/package/install_test.sh [PACKAGE.deb]    (default: build/molvane_*.deb, from
#                                                   scripts/package-linux.sh)
# Run as root. A package that was not installed before is removed again at the end.
# MOLVANE_TEST_USER names the ordinary user (default molvane-ci, made when missing).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DEB=${1:-$(ls -t "$ROOT"/build/molvane_*.deb 2>/dev/null | head -n 1)}
TEST_USER=${MOLVANE_TEST_USER:-molvane-ci}

say() { echo "--- $* (${SECONDS} s)"; }
die() { echo "FAIL: $*" >&2; exit 1; }

[[ $(id -u) -eq 0 ]] || die "run as root: the test installs the package"
[[ -f "$DEB" ]] || die "no package (scripts/package-linux.sh makes build/molvane_<version>_<arch>.deb)"
DEB=$(realpath "$DEB")
for tool in lintian apt-get runuser Xvfb xdotool objcopy readelf; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh)"
done

say "lintian $DEB"
lintian --fail-on error "$DEB" || die "lintian found errors"
hardening_tags=hardening-no-relro,hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-pie
unhardened=$(lintian --display-info --tags "$hardening_tags" "$DEB")
[[ -z "$unhardened" ]] || { echo "$unhardened"; die "the programs lack Debian's hardening flags"; }

WORK=$(mktemp -d /tmp/molvane-package.XXXXXX)
STARTED_PIDS=()
installed_before=0
dpkg -s molvane >/dev/null 2>&1 && installed_before=1
cleanup() {
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if [[ $installed_before == 0 ]]; then apt-get remove -y molvane >/dev/null 2>&1 || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

say "apt-get install $DEB"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$DEB" >"$WORK/apt.log" 2>&1 ||
  { cat "$WORK/apt.log"; die "the package did not install"; }

if ! id -u "$TEST_USER" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$TEST_USER"
fi
chown "$TEST_USER" "$WORK"
USER_HOME="$WORK/home"
SETTINGS="$USER_HOME/.config/molvane"
# A clean environment: no XDG_CONFIG_HOME, so the default ~/.config is the one checked.
AS_USER=(runuser -u "$TEST_USER" -- env -i HOME="$USER_HOME" PATH=/usr/bin:/bin LANG=C.UTF-8
         XDG_RUNTIME_DIR="$WORK/runtime")
as_user() { "${AS_USER[@]}" "$@"; }
# Starts a program as the user in the background, in the start folder; its id is in $last_pid.
start_as_user() {  # start_as_user LOG [VARIABLE=VALUE...] PROGRAM [ARGUMENT...]
  local log=$1
  shift
  (cd "$WORK/start" && exec "${AS_USER[@]}" "$@") >"$log" 2>&1 &
  last_pid=$!
  STARTED_PIDS+=($last_pid)
}
as_user mkdir -p "$USER_HOME" "$WORK/start"
as_user mkdir -m 700 "$WORK/runtime"

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
eventually() {  # eventually SECONDS COMMAND...: COMMAND holds within SECONDS
  local tenths=$(($1 * 10))
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
# What the desktop program's windows show, one "title<TAB>control<TAB>text" line each, from
# the file its --dump-window option keeps writing.
TEXTS=""
shows() { awk -F'\t' -v c="$1" -v t="$2" '$2 == c && $3 == t {f = 1} END {exit !f}' "$TEXTS"; }
has_control() { awk -F'\t' -v c="$1" '$2 == c {f = 1} END {exit !f}' "$TEXTS"; }
has_window() { awk -F'\t' -v w="$1" '$1 == w && $2 == "window" {f = 1} END {exit !f}' "$TEXTS"; }
ended() { ! kill -0 "$1" 2>/dev/null; }

say "the installed files"
for program in molvane molvanectl cartsim; do
  check "/usr/bin/$program" test -x "/usr/bin/$program"
done
check "the desktop entry" test -f /usr/share/applications/molvane.desktop
check "the icon" test -f /usr/share/icons/hicolor/48x48/apps/molvane.png
check "the udev rule" grep -q 'ATTRS{idVendor}=="0403", TAG+="uaccess"' \
  /usr/lib/udev/rules.d/70-molvane.rules
# Read whole (no grep -q): a reader cut short fails the pipeline.
for program in molvane molvanectl cartsim; do
  check "/usr/bin/$program has the stack protector" \
    eval "readelf --dyn-syms -W /usr/bin/$program | grep __stack_chk_fail >/dev/null"
done

say "the programs as $TEST_USER"
version=$(dpkg-deb -f "$DEB" Version)
check "molvanectl --version says molvanectl $version" \
  test "$(as_user /usr/bin/molvanectl --version)" == "molvanectl $version"
check "molvane --help prints the usage" \
  eval 'as_user /usr/bin/molvane --help | grep "^usage: molvane " >/dev/null'
check "molvane --version says molvane $version" \
  test "$(as_user /usr/bin/molvane --version)" == "molvane $version"
as_user sh -c "echo notes >'$WORK/notes.txt'"
# Refused, cartsim ends at once with 1; a cartsim that took the name would run on until killed.
check "cartsim --link refuses to replace a file" \
  eval 'as_user timeout 10 /usr/bin/cartsim --link "$WORK/notes.txt" 2>/dev/null; [[ $? == 1 ]]'
check "  ... which stays as it was" test "$(cat "$WORK/notes.txt")" == notes
start_as_user "$WORK/cartsim.log" /usr/bin/cartsim --link "$WORK/cart"
eventually 10 grep -q '^linked as' "$WORK/cartsim.log" || die "cartsim did not start"
check "molvanectl status reads the simulated cart" \
  eval 'as_user MOLVANE_PORTS="$WORK/cart" /usr/bin/molvanectl status >"$WORK/status.txt"'
check "  ... and prints its status byte" grep -qE '^[0-9A-Fa-f]{2}' "$WORK/status.txt"
check "molvanectl report writes the support report" \
  as_user MOLVANE_PORTS="$WORK/cart" /usr/bin/molvanectl report "$WORK/report.txt"
check "  ... which names ~/.config/molvane as the settings folder" grep -qF \
  "Settings folder (Molvane.cfg, the desktop program's bootlog.txt): $SETTINGS (not beside" \
  "$WORK/report.txt"

# The desktop program is driven from here with the keyboard through an X server, one step
# after the other: a step that fails ends the test, since the keys meant for the next one would
# land somewhere else.
say "molvane on an X server as $TEST_USER: a firmware file chosen and loaded"
head -c 4096 /dev/urandom >"$WORK/firmware.bin"
objcopy -I binary -O ihex "$WORK/firmware.bin" "$WORK/main.hex"
chmod 644 "$WORK/main.hex"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
STARTED_PIDS+=($!)
eventually 10 grep -q '^[0-9]' "$WORK/display" || { cat "$WORK/xvfb.log"; die "Xvfb did not start"; }
DISPLAY=":$(head -n 1 "$WORK/display")"
TEXTS="$WORK/x11.txt"
start_as_user "$WORK/x11.log" DISPLAY="$DISPLAY" MOLVANE_PORTS="$WORK/cart" \
  /usr/bin/molvane --quit-after 120000 --dump-window "$TEXTS"
gui=$last_pid
key() { as_user DISPLAY="$DISPLAY" xdotool key --delay 100 "$@"; }
type_text() { as_user DISPLAY="$DISPLAY" xdotool type --delay 20 "$1"; }
step() {  # step DESCRIPTION COMMAND...
  local before=$failures
  check "$@"
  [[ $failures == "$before" ]] && return 0
  for log in x11.log cartsim.log x11.txt; do echo "== $log"; cat "$WORK/$log"; done
  die "the desktop program on the X server"
}

# The connection check tells the oldest PIN's age in a box; Enter closes it.
step "the PIN age is told in a box" eventually 30 has_control qt_msgbox_label
key Return
step "  ... Enter closes it, and the status field reads Connected" \
  eventually 10 eval '! has_control qt_msgbox_label && shows Status Connected'
key ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab
step "Ctrl+Tab four times brings the Service page" \
  eventually 10 shows qt_tabwidget_tabbar 'Setup | Pin List | Log | Testing | Service* | Factory Calibration'
# Tab reaches the main firmware's field, then its Browse button.
key Tab Tab space
step "Browse opens the file dialog" eventually 10 has_window Controller
type_text "$WORK/main.hex"
key Return
step "  ... the chosen file shows on the page" eventually 10 shows Main "$WORK/main.hex"
check "Molvane.cfg holds it, in ~/.config/molvane" \
  eventually 5 grep -qF "\"$WORK/main.hex\"" "$SETTINGS/Molvane.cfg"
check "  ... a folder for the user alone" test "$(stat -c %a "$SETTINGS")" == 700
key Tab space
step "Update Main asks first" \
  eventually 10 shows qt_msgbox_label 'Are you sure you would like to update the firmware?'
key Return
step "  ... and, told OK, loads the file into the main board" \
  eventually 60 shows "Last result" 'Firmware Update Complete'
check "bootlog.txt is in ~/.config/molvane" grep -q '^Hdr: ' "$SETTINGS/bootlog.txt"
check "comlog.txt is in the folder the program was started from" \
  grep -q '^OPEN: ' "$WORK/start/comlog.txt"
check "nothing was written beside the program" \
  eval '! ls /usr/bin | grep -qiE "^(molvane\.cfg|bootlog\.txt|comlog\.txt|customertitle\.bmp)$"'
# Enter and Escape stay in the page; File > Exit, reached from the keyboard, ends the program.
key alt Down x
step "File > Exit ends the program" eventually 10 ended "$gui"
check "  ... with exit code 0" wait "$gui"

# Last, since the end of the run is not the program's own: a killed program leaves the
# simulated cart's port exclusive, and only root could open it again.
say "molvane offscreen as $TEST_USER"
TEXTS="$WORK/offscreen.txt"
start_as_user "$WORK/offscreen.log" QT_QPA_PLATFORM=offscreen MOLVANE_PORTS="$WORK/cart" \
  /usr/bin/molvane --quit-after 60000 --dump-window "$TEXTS"
check "the status field reads Connected" eventually 30 shows Status Connected

if [[ $failures -ne 0 ]]; then
  for log in offscreen.log x11.log cartsim.log; do echo "== $log"; cat "$WORK/$log"; done
  die "$failures checks failed"
fi
say "all checks passed"
