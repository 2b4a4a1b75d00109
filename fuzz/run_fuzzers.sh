#!/bin/sh
# Builds the libFuzzer targets with clang in build/fuzz and runs each for the given seconds
# (default 30), starting from its seed corpus. Exits non-zero when any target found a crash;
# the input that found it is left in build/fuzz/artifacts/<target>/.
set -eu

seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
jobs="${MOLVANE_FUZZ_JOBS:-2}"

cmake -S "$root" -B "$build" \
  -DCMAKE_C_COMPILER="${CC:-clang-14}" -DCMAKE_CXX_COMPILER="${CXX:-clang++-14}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOLVANE_SANITIZE="address;undefined" \
  -DMOLVANE_BUILD_FUZZ=ON -DMOLVANE_BUILD_TESTS=OFF -DMOLVANE_BUILD_GUI=OFF \
  -DMOLVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzzers -j "$jobs"

failed=""
for seeds in "$root"/fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  echo "== $target for ${seconds}s"
  # New inputs go to the build folder's corpus; the seeds in the tree stay as committed.
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" "$seeds" \
       >"$build/$target.log" 2>&1; then
    failed="$failed $target"
    tail -n 40 "$build/$target.log"
  else
    grep -E "stat::number_of_executed_units|cov:" "$build/$target.log" | tail -n 2
  fi
done

if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed"
  exit 1
fi
echo "all fuzz targets ran clean"
