#!/usr/bin/env bash
# Sets everything up and runs every test: installs what is missing, builds the
# tests with AddressSanitizer and UndefinedBehaviorSanitizer, runs CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPH_SANITIZE=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure -j"$(nproc)"
# The core's fuzz targets, briefly (scripts/fuzz.sh 600 for a longer hunt).
scripts/fuzz.sh 10
# The Debian package: a Release build in build/package, its checks and, as
# root, an install and purge round trip.
scripts/package.sh
