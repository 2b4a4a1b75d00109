#!/usr/bin/env bash
# Builds Molvane and saves a picture of every page of the real program, rendered offscreen
# against the simulated cart, into docs/ (or the folder given).
#   scripts/screenshots.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs}"

if [[ "${MOLVANE_SKIP_INSTALL:-0}" != "1" ]]; then scripts/install-deps.sh; fi
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target screenshot_tour
QT_QPA_PLATFORM=offscreen build/default/tests/screenshot_tour "$out"
