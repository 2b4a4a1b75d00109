#!/usr/bin/env bash
# Builds Molvane with a CMake preset (default, asan or tsan) and runs the whole test suite.
#   scripts/test.sh [PRESET]
# Set MOLVANE_SKIP_INSTALL=1 when the packages are known to be there, MOLVANE_WERROR=ON to turn
# warnings into errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

if [[ "${MOLVANE_SKIP_INSTALL:-0}" != "1" ]]; then scripts/install-deps.sh; fi

cmake --preset "$preset" -DMOLVANE_WERROR="${MOLVANE_WERROR:-OFF}"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" --timeout 300
