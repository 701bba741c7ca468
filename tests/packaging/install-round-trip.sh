#!/usr/bin/env bash
# Installs a built pricehistory .deb with apt-get, checks the installed files,
# the program on PATH and that it opens its window, then purges the package
# and checks nothing of it is left. Needs root; skips (with the reason) when
# not root or when the package is already installed, so a copy the user has
# installed is never touched.
#   tests/packaging/install-round-trip.sh build/package/pricehistory_<version>_<arch>.deb
# shellcheck disable=SC2317 # the checks are functions that check() calls
set -euo pipefail

deb=$(realpath "${1:?usage: install-round-trip.sh PACKAGE.deb}")
support=$(realpath "$(dirname "$0")/../support")
name=$(dpkg-deb --field "$deb" Package)
version=$(dpkg-deb --field "$deb" Version)

status() { dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null || true; }
if [ "$(id -u)" -ne 0 ]; then
  echo "install round trip: skipped, it needs root to install $name"
  exit 0
fi
case $(status) in
  "" | not-installed | config-files) ;;
  *)
    echo "install round trip: skipped, $name is already installed here ($(status)) and is left alone"
    exit 0 ;;
esac

export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
installed_by_us=no
cleanup() {
  if [ "$installed_by_us" = yes ] && [ -n "$(status)" ] && [ "$(status)" != not-installed ]; then
    apt-get remove -y -qq --purge "$name" >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=tests/packaging/checks.sh
source "$(dirname "$0")/checks.sh"

# apt fetches local packages as its own _apt user: give it a copy it can read.
chmod 755 "$work"
cp "$deb" "$work/"
chmod 644 "$work/$(basename "$deb")"
apt-get install -y -q "$work/$(basename "$deb")"
installed_by_us=yes

# The regular files the package holds, as absolute paths.
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's:^\./:/:' >"$work/files"
dpkg -L "$name" >"$work/listed"

# files_are present|absent: every file of the package is on disk, or none is.
files_are() {
  local file
  while read -r file; do
    case $1 in
      present) [ -f "$file" ] || { echo "missing: $file"; return 1; } ;;
      absent) [ ! -e "$file" ] || { echo "left behind: $file"; return 1; } ;;
    esac
  done <"$work/files"
}
dpkg_lists_every_file() { ! grep -vxF -f "$work/listed" "$work/files"; }
gone_from_dpkg() { [ -z "$(status)" ] || [ "$(status)" = not-installed ]; }
not_on_path() { ! command -v pricehistory; }

check "$name $version is installed" test "$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name")" = "installed $version"
check "dpkg -L lists every file of the package" dpkg_lists_every_file
check "every file of the package is on disk" files_are present
hash -r
check "pricehistory is on PATH as /usr/bin/pricehistory" test "$(command -v pricehistory)" = /usr/bin/pricehistory

# The installed program, started by name as the menu would, opens its window
# under the caption its menu entry shows in Chinese.
desktop=$(grep -m1 '^/usr/share/applications/.*\.desktop$' "$work/files")
caption=$(sed -n 's/^Name\[zh_CN\]=//p' "$desktop")
opens_window() {
  # shellcheck disable=SC2016 # the inner script expands its own variables
  "$support/with-display.sh" bash -c '
    pricehistory & program=$!
    for _ in $(seq 150); do
      xdotool search --name "^$1\$" >/dev/null 2>&1 && { kill "$program"; exit 0; }
      sleep 0.2
    done
    kill "$program"; exit 1' _ "$caption"
}
check "the installed program opens its window \"$caption\"" opens_window

apt-get remove -y -q --purge "$name"
hash -r
check "$name is gone from dpkg's records" gone_from_dpkg
check "no file of the package is left" files_are absent
check "pricehistory is no longer on PATH" not_on_path

[ $failed -eq 0 ] && echo "install round trip: all passed" || echo "install round trip: some FAILED" >&2
exit $failed
