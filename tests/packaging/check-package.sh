#!/usr/bin/env bash
# Checks a built pricehistory .deb without installing it: the validators and
# lintian, the version note in the program, and that every file the menu
# entry and the software-centre metadata point at is in the package where
# they say it is. Prints one line per check; fails if any check failed.
#   tests/packaging/check-package.sh build/package/pricehistory_<version>_<arch>.deb
# shellcheck disable=SC2317 # the checks are functions that check() calls
set -euo pipefail

deb=${1:?usage: check-package.sh PACKAGE.deb}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# shellcheck source=tests/packaging/checks.sh
source "$(dirname "$0")/checks.sh"

field() { dpkg-deb --field "$deb" "$1"; }
name=$(field Package)
version=$(field Version)
echo "package: $deb ($name $version)"

check "Depends comes from the linked libraries" grep -q 'libwebkit2gtk-4.1-0' <<<"$(field Depends)"
# lintian sees more than we check here; its warnings are treated as errors.
check "lintian finds no error or warning" lintian --fail-on error,warning --display-info "$deb"

dpkg-deb -x "$deb" "$root"
share=$root/usr/share
bin=$root/usr/bin

desktops=("$share"/applications/*.desktop)
metainfos=("$share"/metainfo/*.metainfo.xml)
if [ ${#desktops[@]} -ne 1 ] || [ ! -f "${desktops[0]}" ]; then fail "one .desktop file in usr/share/applications"; exit 1; fi
if [ ${#metainfos[@]} -ne 1 ] || [ ! -f "${metainfos[0]}" ]; then fail "one metainfo file in usr/share/metainfo"; exit 1; fi
desktop=${desktops[0]}
metainfo=${metainfos[0]}
desktop_id=$(basename "$desktop")
pass "menu entry $desktop_id"

check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"

# The values the menu entry and the metadata point at.
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
xml_values() { sed -n "s:.*<$1>\(.*\)</$2>.*:\1:p" "$metainfo"; }
exec_program=$(desktop_key Exec | cut -d' ' -f1)
icon=$(desktop_key Icon)
component_id=$(xml_values id id)
launchable=$(xml_values 'launchable type="desktop-id"' launchable)
release=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$metainfo" | head -n1)

case $exec_program in
  /*) exec_path=$root$exec_program ;;
  *) exec_path=$bin/$exec_program ;;
esac
check "Exec=$exec_program is an installed program" test -x "$exec_path"
check "metainfo file is named after its id $component_id" test "$(basename "$metainfo")" = "$component_id.metainfo.xml"
check "launchable $launchable is the menu entry" test "$launchable" = "$desktop_id"
check "menu entry is named after the component id" test "$desktop_id" = "$component_id.desktop"
check "Icon=$icon is named after the component id" test "$icon" = "$component_id"

icon_has_size() { test -f "$1" && file -b "$1" | grep -q "PNG image data, $2 x $2,"; }
for size in 32 48 128 256; do
  check "icon ${size}x${size} PNG in hicolor" icon_has_size "$share/icons/hicolor/${size}x${size}/apps/$icon.png" "$size"
done
check "icon scalable SVG in hicolor" test -f "$share/icons/hicolor/scalable/apps/$icon.svg"

for provided in $(xml_values binary binary); do
  check "provided binary $provided is installed" test -x "$bin/$provided"
done
for program in "$bin"/*; do
  check "manual page for $(basename "$program")" test -f "$share/man/man1/$(basename "$program").1.gz"
done

note="{\"type\":\"deb\",\"os\":\"debian\",\"name\":\"$name\",\"version\":\"$version\"}"
has_note() { readelf --notes "$1" | grep -qF "Packaging Metadata: $note"; }
check "pricehistory carries the package note $note" has_note "$bin/pricehistory"

# Every place that names the release agrees with the package.
check "metainfo's newest release is $version" test "$release" = "$version"
changelog_version=$(zcat "$share/doc/$name/changelog.gz" | dpkg-parsechangelog -l - -S Version)
check "changelog's newest entry is $version" test "$changelog_version" = "$version"
release_date=$(sed -n 's:.*<release version="[^"]*" date="\([^"]*\)".*:\1:p' "$metainfo" | head -n1)
changelog_date=$(date -u -d "$(zcat "$share/doc/$name/changelog.gz" | dpkg-parsechangelog -l - -S Date)" +%F)
check "changelog's newest entry is dated $release_date, as the metainfo's release" \
  test "$changelog_date" = "$release_date"

[ $failed -eq 0 ] && echo "package checks: all passed" || echo "package checks: some FAILED" >&2
exit $failed
