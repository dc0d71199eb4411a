#!/usr/bin/env bash
# Builds the Debian package from an already-built tree and checks it: lintian has no
# error or warning, a second build gives the same bytes, every program is hardened,
# the -dbgsym package gives gdb the symbols of the stripped programs, the desktop entry
# and the metainfo pass their validators, the package holds what an installed program
# needs, the completion offers what --help documents, the udev helper tells a scanner
# from a keyboard, and the unpacked programs run with a fresh HOME without writing into
# their tree.
# Usage: check-package.sh BUILD_DIR
set -uo pipefail
build=${1:?usage: check-package.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*" >&2
  failed=1
}

source=$(cd "$here/.." && pwd)
build_packages() {
  rm -f "$build"/package/vostrel_*.deb "$build"/package/vostrel-dbgsym_*.ddeb
  cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
  deb=$(ls "$build"/package/vostrel_*_amd64.deb 2>/dev/null | head -n1)
  ddeb=$(ls "$build"/package/vostrel-dbgsym_*_amd64.ddeb 2>/dev/null | head -n1)
  [ -n "$deb" ] || { echo "FAIL: no vostrel_VERSION_amd64.deb in $build/package" >&2; exit 1; }
  [ -n "$ddeb" ] || { echo "FAIL: no vostrel-dbgsym_VERSION_amd64.ddeb in $build/package" >&2; exit 1; }
}
build_packages
ls "$build"/package/vostrel-*.tar.gz >/dev/null 2>&1 || fail "no portable .tar.gz"
echo "package: $deb"

# Reproducible: the same tree packed again gives the same bytes (time stamps from the
# changelog, files in a fixed order).
cp "$deb" "$work/first.deb"
cp "$ddeb" "$work/first.ddeb"
build_packages
cmp "$work/first.deb" "$deb" || fail "two package builds from one tree differ: $deb"
cmp "$work/first.ddeb" "$ddeb" || fail "two package builds from one tree differ: $ddeb"

lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 ||
  fail "lintian: $(grep -E '^(E|W):' "$work/lintian.txt")"

version=$(dpkg-deb -f "$deb" Version)
[[ "$version" =~ -[0-9]+$ ]] || fail "the version $version has no Debian revision and reads as a native package"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents.txt"
for path in /usr/bin/vostrel /usr/bin/vostrel-cli /usr/bin/vostrel-scanner-sim /usr/bin/vostrel-fwpack \
  /usr/share/vostrel/Config/devicesinfo.xml /usr/share/vostrel/Images/logo.png /usr/share/vostrel/lua/ \
  /usr/share/vostrel/Doc/ /usr/share/man/man1/vostrel-cli.1.gz /usr/share/man/man1/vostrel.1.gz \
  /usr/share/bash-completion/completions/vostrel-cli /usr/share/doc/vostrel/copyright \
  /usr/share/doc/vostrel/changelog.Debian.gz /usr/share/icons/hicolor/256x256/apps/io.github.vostrel.Vostrel.png \
  /usr/share/icons/hicolor/scalable/apps/io.github.vostrel.Vostrel.svg; do
  grep -qx "$path" "$work/contents.txt" || fail "the package lacks $path"
done
grep -q '^/usr/share/applications/.*\.desktop$' "$work/contents.txt" || fail "no desktop entry"
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$work/contents.txt" || fail "no metainfo"
grep -q '/udev/rules\.d/.*\.rules$' "$work/contents.txt" || fail "no udev rule"
grep -q 'vostrel-update' "$work/contents.txt" && fail "the package ships the updater: its files belong to dpkg"

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$work"/root/usr/share/metainfo/*.metainfo.xml >"$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt" >&2; fail "appstreamcli validate"; }
bash -n "$work/root/usr/share/bash-completion/completions/vostrel-cli" || fail "the bash completion does not parse"
HOME="$work/home" bash "$here/check-completion.sh" "$work/root/usr/share/bash-completion/completions/vostrel-cli" \
  "$work/root/usr/bin/vostrel-cli" || fail "the bash completion and vostrel-cli --help disagree"

# One release date: the changelog's version and date are the package's and the metainfo's.
zcat "$work/root/usr/share/doc/vostrel/changelog.Debian.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] || fail "the changelog's version is not $version"
released=$(date -u -d "@$(dpkg-parsechangelog -l "$work/changelog" -S Timestamp)" +%Y-%m-%d)
grep -q "date=\"$released\"" "$work"/root/usr/share/metainfo/*.metainfo.xml ||
  fail "the metainfo's release date is not the changelog's ($released)"

# Hardened like a Debian package: every program, the updater from the build tree too.
# Control-flow protection cannot show on Debian 12: its C library's start files carry no
# CET note, so the linker drops the one our objects have.
for program in "$work"/root/usr/bin/* "$build/bin/vostrel-update"; do
  hardening-check --nocfprotection "$program" >"$work/hardening.txt" 2>&1 ||
    { cat "$work/hardening.txt" >&2; fail "$(basename "$program") lacks hardening"; }
done

# The symbols of the stripped programs: the build id leads to the -dbgsym file, and gdb
# finds source lines through it.
mkdir "$work/dbgsym"
dpkg-deb -x "$ddeb" "$work/dbgsym"
dpkg-deb -e "$ddeb" "$work/dbgsym-control"
(cd "$work/dbgsym" && md5sum --quiet -c "$work/dbgsym-control/md5sums") >&2 || fail "the -dbgsym package's md5sums do not match its files"
cli="$work/root/usr/bin/vostrel-cli"
build_id=$(readelf -n "$cli" | sed -n 's/.*Build ID: //p')
[ -n "$build_id" ] || fail "vostrel-cli has no build id"
[ -f "$work/dbgsym/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" ] ||
  fail "no /usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug in the -dbgsym package"
gdb -batch -nx -iex "set debug-file-directory $work/dbgsym/usr/lib/debug" -ex "info line main" "$cli" >"$work/gdb.txt" 2>&1
grep -q '^Line [0-9]* of ".*\.cpp"' "$work/gdb.txt" || fail "gdb finds no symbols for vostrel-cli: $(cat "$work/gdb.txt")"
for folder in "$source" "$(cd "$build" && pwd)"; do
  grep -rlF "$folder" "$work/root/usr/bin" "$work/dbgsym" >"$work/paths.txt" &&
    fail "the programs or their symbols name the folder $folder: $(cat "$work/paths.txt")"
done
dpkg-deb -f "$deb" Depends | grep -q 'libwx' || fail "the dependencies were not computed from the binaries"

# The udev helper reads the report descriptor item by item: the point-of-sale page
# (0x8C) counts, the same byte as data of a keyboard's item does not.
helper="$work/root/usr/libexec/vostrel/vostrel-pos-scanner"
printf '\x06\x8c\x00\x09\x02\xa1\x01\x75\x08\x95\x3f\x81\x02\xc0' >"$work/pos.bin"
printf '\x05\x01\x09\x06\xa1\x01\x75\x08\x95\x8c\x81\x02\xc0' >"$work/keyboard.bin"
"$helper" "$work/pos.bin" || fail "the udev helper does not see a point-of-sale scanner"
"$helper" "$work/keyboard.bin" && fail "the udev helper takes a keyboard for a scanner"

# The unpacked programs with a fresh HOME: the data is found at ../share/vostrel and
# nothing is written inside the tree.
touch "$work/before"
sleep 1
out=$(HOME="$work/home" XDG_CONFIG_HOME= XDG_STATE_HOME= XDG_CACHE_HOME= XDG_DOCUMENTS_DIR= \
  timeout 60 "$work/root/usr/bin/vostrel-cli" list --sim HBS-HI880 2>&1) || fail "vostrel-cli list: $out"
grep -q "HBS-HI880" <<<"$out" || fail "the simulated scanner was not found: $out"
written=$(find "$work/root" -newer "$work/before")
[ -z "$written" ] || fail "written inside the unpacked tree: $written"

[ "$failed" -eq 0 ] && echo "The package checks passed."
exit "$failed"
