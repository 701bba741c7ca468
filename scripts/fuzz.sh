#!/usr/bin/env bash
# Builds the core's fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for SECONDS
# (default 60) on a scratch copy of its seeds in fuzz/corpus, which stays as
# committed. Prints each target's executions and findings; the inputs that
# broke something are kept in build/fuzz/artifacts. Exits 1 on any finding.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build/fuzz
targets=(text_ops between link_check)

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)"

artifacts=$build/artifacts
mkdir -p "$artifacts"
found=0
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  log=$build/$target.log
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/corpus/"$target"/* "$corpus"/
  started=$build/$target.started
  touch "$started"

  status=0
  UBSAN_OPTIONS=print_stacktrace=1 "$build/${target}_fuzz" "$corpus" \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    >"$log" 2>&1 || status=$?

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  new_artifacts=$(find "$artifacts" -name "$target-*" -newer "$started" | wc -l)
  printf '%-12s %12s executions  %d finding(s)  exit %d  (log: %s)\n' \
    "$target" "${executions:-?}" "$new_artifacts" "$status" "$log"
  if [ "$status" -ne 0 ] || [ "$new_artifacts" -ne 0 ]; then
    found=1
    grep -m 1 -E 'property does not hold|ERROR: |runtime error' "$log" | sed 's/^/    /' || true
    find "$artifacts" -name "$target-*" -newer "$started" | sed 's/^/    input: /'
  fi
  rm -f "$started"
done

if [ "$found" -ne 0 ]; then
  echo "fuzz: something was found; rerun an input with $build/<target>_fuzz <file>" >&2
  exit 1
fi
