# Shared by the Windows test scripts (sourced, not run): a fresh Wine prefix in a folder of the
# caller's, the desktop program on an X server of its own, a simulated cart on a COM port
# registered as an FTDI device, and the checks on what the program's windows show.
# The caller sets WORK (a folder it removes), ARTIFACTS, and a cleanup trap that kills
# STARTED_PIDS and calls wine_end.

say() { echo "--- $* (${SECONDS} s)"; }
die() { echo "FAIL: $*" >&2; exit 1; }

STARTED_PIDS=()
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
# Waits up to 10 s for a file to hold a line matching a pattern.
wait_for() {
  local file=$1 pattern=$2
  for _ in $(seq 100); do
    grep -q "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
eventually() {  # eventually SECONDS COMMAND...: COMMAND holds within SECONDS
  local tenths=$(($1 * 10)); shift
  for ((i = 0; i < tenths; i++)); do
    "$@" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# ---------------------------------------------------------------- the prefix
wine_fresh_prefix() {  # a new prefix in $WORK/prefix, without a display
  export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all
  # No Mono or Gecko to offer, and no menu entries made on the Linux desktop for the Windows
  # ones the installer test makes.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY
  wine wineboot -i >"$WORK/wineboot.log" 2>&1 || { cat "$WORK/wineboot.log"; die "wineboot failed"; }
  wineserver -w
  # Debian's Wine does not load its own fonts from /usr/share/wine/fonts: they go into the
  # prefix, Tahoma (the dialog font) registered as Windows registers it, since Qt's FreeType
  # engine finds font files through that key. Marlett draws the caption buttons.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" ||
    die "Wine's fonts are missing (fonts-wine)"
  local fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
  reg_add "$fonts" /v 'Tahoma (TrueType)' /t REG_SZ /d tahoma.ttf
  reg_add "$fonts" /v 'Tahoma Bold (TrueType)' /t REG_SZ /d tahomabd.ttf
}
wine_end() { wineserver -k >/dev/null 2>&1 || true; }  # this prefix's server only
reg_add() { wine reg add "$@" /f >/dev/null 2>&1 || die "wine reg add $1"; }
dosdevice() { echo "$WINEPREFIX/dosdevices/$(echo "$1" | tr 'A-Z' 'a-z')"; }
win_path() { winepath -w "$1" 2>/dev/null; }
FTDI='HKLM\SYSTEM\CurrentControlSet\Enum\FTDIBUS'
register() {  # register INSTANCE PORT: the FTDI driver's entry of one adapter
  wine reg add "$FTDI\\$1\\0000\\Device Parameters" /v PortName /t REG_SZ /d "$2" /f >/dev/null 2>&1
}

# From here on the prefix's processes draw on an X server of their own, on a virtual desktop the
# size of the screen: Wine then frames the windows itself, as Windows does, and keeps the keyboard
# focus on the active one, with no window manager on the X server. The desktop process keeps the
# display it was started with, so the Wine server, and with it every process of the prefix,
# ends first.
wine_desktop() {
  reg_add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default
  reg_add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 800x600
  timeout 60 wineserver -w || wineserver -k
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for "$WORK/display" '^[0-9]' || { cat "$WORK/xvfb.log"; die "Xvfb did not start"; }
  export DISPLAY=":$(head -n 1 "$WORK/display")"
  say "X server on display $DISPLAY"
}

# cartsim on a COM port of the prefix: its pseudo-terminal is the port's dosdevices link.
start_cartsim() {  # start_cartsim CARTSIM PORT [OPTION...]
  local cartsim=$1 port=$2; shift 2
  # Wine may have given the name to a serial device of the machine; cartsim replaces no link
  # but one it left itself.
  rm -f "$(dosdevice "$port")"
  "$cartsim" --link "$(dosdevice "$port")" "$@" >"$WORK/cartsim.log" 2>&1 &
  CARTSIM_PID=$!
  STARTED_PIDS+=($CARTSIM_PID)
  wait_for "$WORK/cartsim.log" '^linked as' || die "cartsim did not start"
}

# ---------------------------------------------------------------- the desktop program
# Qt's options go on the command line (Wine does not hand QT_* variables to it); with the GDI
# font engine Wine leaves edit fields blank. --quit-after only bounds a run that the keyboard
# failed to end. What the window shows is read from the file its --dump-window option keeps
# writing, one "title<TAB>control<TAB>text" line each (see src/gui/window_texts.h).
GUI_PID=""
gui_start() {  # gui_start NAME PROGRAM START_FOLDER
  GUI_NAME=$1
  GUI_TEXTS="$ARTIFACTS/$1-window.txt"
  rm -f "$GUI_TEXTS"
  (cd "$3" && exec wine "$2" -platform windows:fontengine=freetype --quit-after 60000 \
     --dump-window "$(win_path "$GUI_TEXTS")") >"$ARTIFACTS/$1.log" 2>&1 &
  GUI_PID=$!
  STARTED_PIDS+=($GUI_PID)
}
shows() {  # shows CONTROL TEXT: a control of an open window reads exactly TEXT
  # Taken from the environment, since awk's -v reads backslashes as escapes (Windows paths).
  CONTROL=$1 TEXT=$2 awk -F'\t' '$2 == ENVIRON["CONTROL"] && $3 == ENVIRON["TEXT"] {found = 1}
                                 END {exit !found}' "$GUI_TEXTS"
}
shows_like() {  # shows_like CONTROL REGEX
  awk -F'\t' -v c="$1" -v r="$2" '$2 == c && $3 ~ r {found = 1} END {exit !found}' "$GUI_TEXTS"
}
has_window() {  # has_window TITLE: a window of that title is open
  awk -F'\t' -v w="$1" '$1 == w && $2 == "window" {found = 1} END {exit !found}' "$GUI_TEXTS"
}
lacks() { ! awk -F'\t' -v c="$1" '$2 == c {found = 1} END {exit !found}' "$GUI_TEXTS"; }
ended() { ! kill -0 "$GUI_PID" 2>/dev/null; }
gui_key() { xdotool key --delay 100 "$@"; }
# Alt+F4 closes the window (Enter and Escape inside it do not); the program must end with 0
# within 10 s.
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

# A PostgreSQL server of the test's own in $WORK/pg, on 127.0.0.1:$PG_PORT: the server refuses
# to run as root, so it runs as nobody there. The store's role "guarded" signs in with a password
# (right-password) and owns the database "fleet"; the superuser "molvane" is trusted on the socket.
as_server_user() { if [[ $EUID == 0 ]]; then runuser -u nobody -- "$@"; else "$@"; fi; }
pg_sql() { as_server_user psql -X -q -A -t -h "$WORK/pg" -p "$PG_PORT" -U molvane -d fleet -c "$1"; }
pg_start() {
  PG_PORT=$((40000 + RANDOM % 20000))
  mkdir -p "$WORK/pg"
  chmod 755 "$WORK"
  if [[ $EUID == 0 ]]; then chown nobody "$WORK/pg"; fi
  as_server_user "$PG_BIN/initdb" -D "$WORK/pg/data" -U molvane --auth-local=trust \
    --auth-host=scram-sha-256 --no-sync -E UTF8 --locale=C.UTF-8 >/dev/null ||
    die "initdb failed"
  as_server_user "$PG_BIN/pg_ctl" -D "$WORK/pg/data" -l "$WORK/pg/log" -w -s \
    -o "-c listen_addresses=127.0.0.1 -k $WORK/pg -p $PG_PORT" start || die "PostgreSQL did not start"
  as_server_user psql -X -q -h "$WORK/pg" -p "$PG_PORT" -U molvane -d postgres \
    -c "CREATE ROLE guarded LOGIN PASSWORD 'right-password'" -c "CREATE DATABASE fleet OWNER guarded" ||
    die "the fleet database could not be made"
}
pg_stop() {
  [[ -f "$WORK/pg/data/postmaster.pid" ]] || return 0
  as_server_user "$PG_BIN/pg_ctl" -D "$WORK/pg/data" -m fast -w -s stop || true
}

