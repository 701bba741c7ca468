#!/usr/bin/env bash
# Builds the Debian package and checks it: installs what is missing, builds
# a Release tree with Debian's hardening flags in build/package, makes
# build/package/pricehistory_<version>_<arch>.deb with CPack, and runs the
# package checks in tests/packaging (the install round trip only as root).
# Arguments go to CMake, e.g. -DPRICE_SERVICE_HOST=prices.example:80.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

build=build/package
# The flags Debian builds its own packages with, hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DPH_SANITIZE=OFF -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "$@"
cmake --build "$build"

rm -f "$build"/*.deb
(cd "$build" && cpack --config CPackConfig.cmake)
debs=("$build"/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "package: expected one .deb in $build, found ${#debs[@]}" >&2; exit 1; }
echo "package: built ${debs[0]}"

tests/packaging/check-package.sh "${debs[0]}"
tests/packaging/install-round-trip.sh "${debs[0]}"
