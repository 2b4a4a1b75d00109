#!/usr/bin/env bash
# Runs the tests that open ports once more as an ordinary user. Root may open a device that
# another opener holds exclusively, so faults of that kind (a port that stays exclusive after it
# was closed) show only without root's rights. Run after scripts/test.sh has built the preset.
#   scripts/test-unprivileged.sh [PRESET]
# As root it makes a throwaway user (MOLVANE_TEST_USER, default molvane-ci) if there is none and
# runs the tests as that user; as any other user it runs them directly.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
build="$PWD/build/$preset"
user="${MOLVANE_TEST_USER:-molvane-ci}"
# The serial port, discovery and probing, the command transaction, the port faults, the
# transfers that reopen their port, every molvanectl test, who holds a busy port, where the
# configuration goes when the program's folder is read-only, and which files are had as regular
# files and through whose links.
tests='^(OpenPort|ClosedPort|OpenFailure|Reopen|LinuxDiscovery|PortScan|ScanWithSimulator'
tests+='|CommandTransaction|FaultPorts|FaultHangUp|BitmapUpload|Ctl[A-Za-z]+|LoadTest|SettingsTest'
tests+='|CalibrationCtl|BackupCommands|Replay|PortHolders|SettingsFolder|RegularFiles)\.'

environment=()
if [[ "$preset" == tsan ]]; then environment+=(TSAN_OPTIONS=halt_on_error=1); fi

if [[ $(id -u) -ne 0 ]]; then
  exec env "${environment[@]}" ctest --test-dir "$build" -R "$tests" --output-on-failure -j 2
fi

if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
fi
if ! runuser -u "$user" -- test -x "$build/tests/test_link"; then
  echo "$user cannot reach $build: check the sources out where an ordinary user may read them" >&2
  exit 1
fi

# ctest keeps its logs beside the test lists, and the build belongs to root: the user gets its
# own copy of the lists (they name the test programs by absolute path) in a folder of its own.
# The tests write their files into their own temporary folders.
scratch=$(mktemp -d /tmp/molvane-unprivileged.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && find . -name CTestTestfile.cmake -exec cp --parents {} "$scratch" \;)
chown -R "$user" "$scratch"
id "$user"
runuser -u "$user" -- env HOME="$scratch" TMPDIR="$scratch" "${environment[@]}" \
  ctest --test-dir "$scratch" -R "$tests" --output-on-failure -j 2
