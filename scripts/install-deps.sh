#!/usr/bin/env bash
# Installs, with apt-get and only when missing, every Debian package that the
# build, the tests and the program need. Quick when all of them are there.
# With --bench it also installs what the benchmarks compare against.
set -euo pipefail

packages=(
  # tool chain and tests
  build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
  # the program: windows, page view, sample service
  libgtkmm-3.0-dev libwebkit2gtk-4.1-dev libsoup-3.0-dev
  # user-interface tests and screenshots: a private X server, a light window
  # manager, key and window tools, an SVG renderer, CJK fonts
  xvfb xauth openbox xdotool x11-utils librsvg2-bin imagemagick fonts-noto-cjk dbus-daemon
  # fuzzing: clang with its libFuzzer and sanitizer run-times
  clang libclang-rt-14-dev
  # packaging and its checks
  dpkg-dev fakeroot file binutils lintian desktop-file-utils appstream
)
if [ "${1:-}" = --bench ]; then
  # benchmarks: Google Benchmark for the core, XTest for the harness's clicks,
  # a browser as the baseline
  packages+=(libbenchmark-dev libxtst-dev chromium)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: run as root to install: ${missing[*]}" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
