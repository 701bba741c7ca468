#!/usr/bin/env bash
# Builds what the benchmarks need (Release, in build/bench) and prints their
# figures: the program's start-up, query and memory beside a browser showing
# the same page, on a private X server; then the query core.
#
# Usage: bench/run.sh [RUNS]    RUNS: starts of each kind, default 15
#   PRICE_SERVICE_HOST  the service host the program is built for and the
#                       harness serves; default 127.0.0.1:8936. Another port
#                       lets the benchmarks run beside the tests, which hold 8936.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
case $runs in ''|*[!0-9]*|0) echo "usage: bench/run.sh [RUNS]" >&2; exit 2 ;; esac

scripts/install-deps.sh --bench >&2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
host=${PRICE_SERVICE_HOST:-127.0.0.1:8936}
port=${host##*:}
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPH_BENCH=ON \
  -DPRICE_SERVICE_HOST="$host" "${launcher[@]}" >/dev/null
cmake --build build/bench -j2 --target pricehistory ui_bench core_bench >&2

# The harness is the service itself.
if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "bench: something already listens on 127.0.0.1:$port; stop it first" >&2
  exit 1
fi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# Progress goes to stderr; the tables come once all runs are done.
if ! tests/support/with-display.sh build/bench/bench/ui_bench --program "$PWD/build/bench/src/app/pricehistory" \
     --runs "$runs" --logs "$logs" >"$logs/tables.md"; then
  trap - EXIT
  echo "bench: ui_bench failed; what the programs printed is in $logs" >&2
  exit 1
fi
echo "## Start-up, query and memory ($runs runs each, $(date -I))"
echo
# The session's accessibility registry greets whatever output it inherits.
grep -v '^SpiRegistry daemon is running' "$logs/tables.md"
echo
echo "## The query core"
echo
echo '```'
build/bench/bench/core_bench --benchmark_min_time=0.2 2>&1
echo '```'
