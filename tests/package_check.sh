#!/usr/bin/env bash
# usage: package_check.sh BUILD_DIR MAN_PAGE SCRATCH
# Unpacks the Debian package cpack makes into SCRATCH (exit 77, skipped, without its tools): exactly
# the program, its page unchanged, changelog and copyright, dependencies computed; the program runs.
set -eu; build=$1 page=$2 root=$3; rm -rf "$root" && mkdir -p "$root"
fail() { echo "FAIL: $*"; exit 1; }
for t in cpack dpkg-deb dpkg-shlibdeps file; do command -v $t >/dev/null || { echo "SKIP: the package check needs $t (Debian: cmake dpkg dpkg-dev file)"; exit 77; }; done
cpack --config "$build/CPackConfig.cmake" -B "$root/out" >"$root/cpack.log" || fail "$(cat "$root/cpack.log")"
deb=$(echo "$root"/out/okwari_*.deb); dpkg -x "$deb" "$root/pkg" || fail "cannot unpack $deb"; cd "$root/pkg"
want="usr/games/okwari usr/share/doc/okwari/changelog.gz usr/share/doc/okwari/copyright usr/share/man/man6/okwari.6.gz"
found=$(find . -type f -printf '%P\n' | LC_ALL=C sort | xargs)
[ "$found" = "$want" ] || fail "holds: $found; expected: $want"
gzip -dc usr/share/man/man6/okwari.6.gz | cmp - "$page" || fail "packaged page differs"
zcat usr/share/doc/okwari/changelog.gz | head -1 | grep -qF "okwari ($(dpkg-deb -f "$deb" Version))" || fail "changelog is not for $deb"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no Depends computed: $(dpkg-deb -f "$deb" Depends)"
out=$(timeout 60 ./usr/games/okwari random hurry </dev/null) && st=0 || st=$?
[[ "$st $out" =~ ^(0\ random\ wins\ |1\ hurry\ wins\ )[0-9]+-[0-9]+|^2\ draw\ [0-9]+\ all ]] || fail "status $st: $out"
echo "ok: $found; $out" && rm -rf "$root"
