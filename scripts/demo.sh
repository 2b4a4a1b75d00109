#!/usr/bin/env bash
# Builds Molvane and opens it on a simulated cart: cartsim makes a pseudo-terminal, and
# MOLVANE_PORTS tells Molvane to look there as well as for USB adapters.
#   scripts/demo.sh [molvane options]     (e.g. --quit-after 10000 for an unattended run)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${MOLVANE_SKIP_INSTALL:-0}" != "1" ]]; then scripts/install-deps.sh; fi
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target molvane cartsim molvanectl

work="$(mktemp -d /tmp/molvane-demo-XXXXXX)"
build/default/src/cartsim --link "$work/cart" --state "$work/cart-state.txt" > "$work/cartsim.out" &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [[ -e "$work/cart" ]] && break; sleep 0.1; done
echo "Simulated cart on $(head -n 1 "$work/cartsim.out") (linked as $work/cart)"
echo "The traffic trace goes to $(pwd)/comlog.txt"

MOLVANE_PORTS="$work/cart" build/default/src/molvane "$@"
