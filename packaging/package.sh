#!/usr/bin/env bash
# usage: packaging/package.sh TARBALL OUT_DIR
# The Debian package made as Debian makes its own: the source release TARBALL
# unpacked in a scratch folder, packaging/debian/ copied in as its debian/,
# and dpkg-buildpackage -us -uc run there, as any user (no root, no fakeroot).
# debhelper builds with Debian's flags and hardening, runs the tests, strips,
# compresses and dates every file from debian/changelog. The .deb, its debug
# symbols, the source package, .buildinfo and .changes land in OUT_DIR. Then
# the package is checked: exactly the program, its page unchanged, changelog
# and copyright, the version of the program, dependencies computed; the
# program plays a match.
set -eu
cd "$(dirname "$0")/.."
tarball=$(realpath "$1") && mkdir -p "$2" && out=$(realpath "$2") && top=$PWD
scratch=$(mktemp -d "${TMPDIR:-/tmp}/okwari-package.XXXXXX")
fail() { echo "package: FAIL: $* (kept in $scratch)"; exit 1; }
tar -xzf "$tarball" -C "$scratch" && src=$(echo "$scratch"/okwari-*)
cp -R packaging/debian "$src/debian"
(cd "$src" && dpkg-buildpackage -us -uc -j"${JOBS:-$(nproc)}") >"$scratch/build.log" 2>&1 ||
  fail "dpkg-buildpackage: $(tail -n 40 "$scratch/build.log")"
grep -E 'tests passed|^dpkg-buildpackage: info: .* upload' "$scratch/build.log" || true
for f in "$scratch"/okwari*_*; do [ -f "$f" ] && cp "$f" "$out/"; done
deb=$(echo "$out"/okwari_*_"$(dpkg --print-architecture)".deb)

dpkg-deb -x "$deb" "$scratch/pkg" && cd "$scratch/pkg"
want="usr/games/okwari usr/share/doc/okwari/changelog.gz usr/share/doc/okwari/copyright usr/share/man/man6/okwari.6.gz"
found=$(find . -type f -printf '%P\n' | LC_ALL=C sort | xargs)
[ "$found" = "$want" ] || fail "holds: $found; expected: $want"
gzip -dc usr/share/man/man6/okwari.6.gz | cmp - "$top/man/okwari.6" || fail "packaged page differs"
version=$(dpkg-deb -f "$deb" Version)
[ "okwari-$version" = "${src##*/}" ] || fail "debian/changelog is at $version, the program at ${src##*/}"
zcat usr/share/doc/okwari/changelog.gz | head -n 1 | grep -qF "okwari ($version)" || fail "changelog is not for $deb"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no Depends computed: $(dpkg-deb -f "$deb" Depends)"
res=$(timeout 60 ./usr/games/okwari random hurry </dev/null) && st=0 || st=$?
[[ "$st $res" =~ ^(0\ random\ wins\ |1\ hurry\ wins\ )[0-9]+-[0-9]+|^2\ draw\ [0-9]+\ all ]] || fail "status $st: $res"
cd "$top" && rm -rf "$scratch"
echo "package: $deb holds $found; $res"
