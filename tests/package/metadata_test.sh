#!/usr/bin/env bash
# The desktop's files: the menu entry and the AppStream metainfo pass their
# validators, the icon PNGs have the sizes their names say, and the entry,
# the metainfo and the package agree on names and version.
#   metadata_test.sh SOURCE_DIR BUILD_DIR VERSION
# Exit 77 (skipped) when neither validator is installed.
set -euo pipefail

src=$1 build=$2 version=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
desktop=$src/packaging/trovik.desktop
metainfo=$build/packaging/sk.trovik.Trovik.metainfo.xml
ran=0

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || { echo "$out"; fail "desktop entry invalid"; }
  [ -z "$out" ] || { echo "$out"; fail "desktop entry has remarks"; }
  ran=1
else
  echo "desktop-file-validate missing (desktop-file-utils): entry not validated"
fi
grep -qx 'Exec=trovik' "$desktop" || fail "entry does not start trovik"
grep -qx 'Icon=trovik' "$desktop" || fail "entry's icon is not trovik"
grep -q '^Name\[sk\]=' "$desktop" && grep -q '^Comment\[sk\]=' "$desktop" || fail "entry lacks its Slovak name or comment"

if [ -f "$metainfo" ]; then
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --no-color "$metainfo" || fail "metainfo invalid"
    ran=1
  else
    echo "appstreamcli missing (appstream): metainfo not validated"
  fi
  grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo's release is not $version"
  grep -q '<launchable type="desktop-id">trovik.desktop</launchable>' "$metainfo" || fail "metainfo names another entry"
fi

# Width and height from a PNG's header (bytes 17 to 24, big-endian).
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
for size in 16 32 48 64 128 256; do
  png=$src/packaging/icons/trovik-$size.png
  [ -f "$png" ] || fail "icon $size missing"
  [ "$(png_size "$png")" = "${size}x${size}" ] || fail "trovik-$size.png is $(png_size "$png")"
done
grep -q '<svg' "$src/packaging/icons/trovik.svg" || fail "no SVG icon"

[ "$ran" -eq 1 ] || { echo "SKIP: no validator installed"; exit 77; }
echo "metadata test passed"
