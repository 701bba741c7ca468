#!/usr/bin/env bash
# Sets everything up and runs the program: installs what is missing, builds,
# starts the bundled sample price-history service on 127.0.0.1:8936 (the
# default service host) and the program, and stops the service when the
# program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build/run

service=build/run/src/sample_service/pricehistory-sample-service
if [ -x "$service" ]; then
  "$service" &
  service_pid=$!
  trap 'kill "$service_pid" 2>/dev/null || true' EXIT
fi
build/run/src/app/pricehistory
