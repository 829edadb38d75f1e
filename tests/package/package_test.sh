#!/usr/bin/env bash
# Builds the Debian package of a finished build, installs it with dpkg into a
# fresh root folder (its own dpkg database, nothing of this machine's), runs
# the installed CLI and window from there as a user with an empty home, and
# removes the package again.
#   package_test.sh BUILD_DIR CPACK VERSION GUI(ON|OFF) SANITIZED(ON|OFF)
# Exit 77 (skipped) when the Debian tools are missing.
set -euo pipefail

build=$1 cpack=$2 version=$3 gui=$4 sanitized=$5

for tool in dpkg dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
if [ "$sanitized" = ON ]; then
  # A sanitizer build is no package to ship; its programs need the runtime.
  echo "SKIP: sanitizer build"
  exit 77
fi

work=$(mktemp -d /tmp/trovik-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

# --- build the package
step "cpack"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/cpack/trovik_"$version"_*.deb 2>/dev/null | head -n1 || true)
[ -f "$deb" ] || fail "no trovik_${version}_*.deb made"
[ "$(dpkg-deb -f "$deb" Package)" = trovik ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no library dependencies computed"

dpkg-deb -c "$deb" >"$work/contents"
expect=(./opt/trovik/trovik-cli ./opt/trovik/trovik-demo-site ./opt/trovik/libtrovik-folderdevice.so
  ./opt/trovik/trovik.installed ./opt/trovik/popisrtf.rtf ./opt/trovik/suradnicemiest.ini
  "./opt/trovik/Zlaté Moravce50km.wpt" ./opt/trovik/pocket-query.gpx ./opt/trovik/pocket-query-wpts.gpx
  ./usr/bin/trovik-cli)
if [ "$gui" = ON ]; then
  expect+=(./opt/trovik/trovik ./opt/trovik/libtrovik-webengine.so ./usr/bin/trovik ./usr/share/applications/trovik.desktop
    ./usr/share/metainfo/sk.trovik.Trovik.metainfo.xml ./usr/share/icons/hicolor/scalable/apps/trovik.svg)
  for size in 16 32 48 64 128 256; do expect+=("./usr/share/icons/hicolor/${size}x${size}/apps/trovik.png"); done
fi
for path in "${expect[@]}"; do
  grep -qF -- " $path" "$work/contents" || fail "package lacks $path"
done
if awk '{print $2}' "$work/contents" | grep -v '^root/root$' >/dev/null; then fail "files not owned by root"; fi

# --- install into a fresh root with its own, empty dpkg database
step "dpkg -i into $work/root"
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
# The libraries it depends on are this machine's, not the empty root's.
dpkgr=(dpkg --root="$root" --log=/dev/null --force-not-root --force-depends)
"${dpkgr[@]}" -i "$deb" >"$work/dpkg-i.log" 2>&1 || { cat "$work/dpkg-i.log"; fail "dpkg -i failed"; }
"${dpkgr[@]}" -s trovik | grep -q '^Status: install ok installed' || fail "not installed"

app=$root/opt/trovik
for name in trovik-cli $([ "$gui" = ON ] && echo trovik); do
  grep -qxF "exec '/opt/trovik/$name' \"\$@\"" "$root/usr/bin/$name" || fail "launcher $name does not start /opt/trovik/$name"
  [ -x "$root/usr/bin/$name" ] || fail "launcher $name not executable"
done

# What the programs may not touch: the installed folder.
snapshot() { (cd "$app" && find . -printf '%p %s %m\n' | sort); }
snapshot >"$work/before"

# A user with an empty home; nothing points the program anywhere else.
home=$work/home
mkdir -p "$home"
user=(env -u TROVIK_HOME -u XDG_DATA_HOME -u TROVIK_DEVICE_ROOT -u TROVIK_RAPI HOME="$home")
data=$home/.local/share/trovik

# --- the CLI
step "installed trovik-cli"
out=$("${user[@]}" "$app/trovik-cli" --version) || fail "trovik-cli --version"
[ "$out" = "Trovik $version" ] || fail "trovik-cli --version printed '$out'"

"${user[@]}" "$app/trovik-cli" caches "$app/Zlaté Moravce50km.wpt" >"$work/caches" || fail "trovik-cli caches"
"$build/bin/trovik-cli" caches "$build/bin/Zlaté Moravce50km.wpt" >"$work/caches-build" || fail "build's trovik-cli caches"
[ -s "$work/caches" ] || fail "no caches listed"
cmp -s "$work/caches" "$work/caches-build" || fail "installed and built CLI list the sample file differently"

# The device: the installed folder device library, its card in the per-user folder.
mkdir -p "$data/PDA/Storage Card"
"${user[@]}" "$app/trovik-cli" device put "$app/popisrtf.rtf" '\Storage Card\popis.rtf' >"$work/put" 2>&1 ||
  { cat "$work/put"; fail "device put"; }
cmp -s "$app/popisrtf.rtf" "$data/PDA/Storage Card/popis.rtf" || fail "the copy did not land on the per-user card"
for f in popisrtf.rtf suradnicemiest.ini "Zlaté Moravce50km.wpt" pocket-query.gpx pocket-query-wpts.gpx \
  testpages/listing_sk.htm; do
  cmp -s "$app/$f" "$data/$f" || fail "per-user folder not seeded with $f"
done
[ ! -e "$data/trovik.installed" ] || fail "the marker was copied"

# A page command loads the installed engine library; the CLI itself links no Qt.
if ldd "$app/trovik-cli" | grep -q libQt; then fail "the installed trovik-cli links Qt"; fi
if [ "$gui" = ON ]; then
  printf '<html><body><p>Ahoj</p></body></html>' >"$work/page.html"
  "${user[@]}" QT_QPA_PLATFORM=offscreen timeout 120 "$app/trovik-cli" capture "$work/page.html" >"$work/capture" 2>&1 ||
    { cat "$work/capture"; fail "installed trovik-cli capture"; }
  [ "$(cat "$work/capture")" = "<P>Ahoj</P>" ] || { cat "$work/capture"; fail "installed capture printed more or less"; }
fi

# --- the window, offscreen
if [ "$gui" = ON ]; then
  step "installed trovik"
  out=$("${user[@]}" "$app/trovik" --version) || fail "trovik --version"
  [ "$out" = "Trovik $version" ] || fail "trovik --version printed '$out'"
  # A user's own town list survives the start; the seeding only fills gaps.
  printf '[Mesta]\r\nMoje mesto=48.3,18.1\r\n' >"$data/suradnicemiest.ini"
  # The window comes up and is still running when it is ended 10 s later
  # (timeout's status 124); the journeys drive it further.
  rc=0
  "${user[@]}" QT_QPA_PLATFORM=offscreen \
    timeout 10 "$app/trovik" >"$work/gui.log" 2>&1 || rc=$?
  [ "$rc" -eq 124 ] || { tail -n 30 "$work/gui.log"; fail "window run ended with $rc"; }
  [ -d "$data/HTM" ] && [ -d "$data/Pictures" ] || fail "working folders not made in the per-user folder"
  grep -q 'Moje mesto' "$data/suradnicemiest.ini" || fail "the user's town list was replaced"
fi

snapshot >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "the programs changed the installed folder"
"${dpkgr[@]}" --verify trovik >"$work/verify" 2>&1 || true
[ ! -s "$work/verify" ] || { cat "$work/verify"; fail "installed files changed"; }

# --- removal
step "dpkg -r"
"${dpkgr[@]}" -r trovik >"$work/dpkg-r.log" 2>&1 || { cat "$work/dpkg-r.log"; fail "dpkg -r failed"; }
"${dpkgr[@]}" -s trovik 2>/dev/null | grep -q '^Status: install ok installed' && fail "still installed"
left=$(cd "$root" && find . -mindepth 1 ! -path './var' ! -path './var/lib' ! -path './var/lib/dpkg' ! -path './var/lib/dpkg/*')
[ -z "$left" ] || { echo "$left" >&2; fail "removal left files behind"; }
# The user's folder is the user's: settings and pages stay.
[ -f "$data/suradnicemiest.ini" ] || fail "removal touched the user's folder"

# --- cmake --install: the program folder only, nothing outside the prefix
step "cmake --install"
DESTDIR=$work/destdir cmake --install "$build" --prefix /opt/trovik >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
outside=$(cd "$work/destdir" && find . -mindepth 1 ! -path ./opt ! -path ./opt/trovik ! -path './opt/trovik/*')
[ -z "$outside" ] || { echo "$outside" >&2; fail "a plain install wrote outside the prefix"; }
for f in trovik-cli libtrovik-folderdevice.so trovik.installed popisrtf.rtf; do
  [ -e "$work/destdir/opt/trovik/$f" ] || fail "cmake --install lacks $f"
done
grep -qxF 'Zlaté Moravce50km.wpt' "$work/destdir/opt/trovik/trovik.installed" || fail "marker does not list the sample file"

echo "package test passed: $(basename "$deb")"
