#!/usr/bin/env bash
# usage: packaging/repro_check.sh
# Clones the last commit twice, into folders of different depth, and runs
# `make package dist` in each, seconds apart, under a different umask, TZ and
# locale: the two .debs must be the same bytes, and so must the two tarballs.
# The packaged program must be hardened: bound now, read-only relocations,
# stack protector and fortified calls. Skipped, with the reason, without
# dpkg-deb or outside a git checkout.
set -eu
cd "$(dirname "$0")/.."
fail() { echo "repro-check: FAIL: $*"; exit 1; }
skip() { echo "repro-check: skipped, $*"; exit 0; }
command -v dpkg-deb >/dev/null || skip "dpkg-deb not found (Debian: dpkg)"
[ -e .git ] && commit=$(git rev-parse -q --verify HEAD) || skip "not a git checkout"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/okwari-repro.XXXXXX")
one=$scratch/one two=$scratch/elsewhere/deeper/two

# $1 folder, $2 umask, $3 TZ, $4 LANG
build() {
  git -c advice.detachedHead=false clone -q "$PWD" "$1" && git -C "$1" checkout -q --detach "$commit" || fail "cannot clone into $1"
  (umask "$2" && cd "$1" && TZ=$3 LANG=$4 LC_ALL='' make --no-print-directory package dist \
    >"$1.log" 2>&1) || fail "the build in $1 failed: $(tail -n 20 "$1.log")"
}
build "$one" 022 UTC C.UTF-8
sleep 2
build "$two" 077 Pacific/Chatham fr_FR.UTF-8

for f in okwari_\*.deb okwari-\*.tar.gz; do
  a=$(echo "$one"/build/$f) b=$(echo "$two"/build/$f)
  [ -f "$a" ] && [ -f "$b" ] || fail "no $f made"
  sha256sum "$a" "$b" | sed "s|$scratch/||"
  if ! cmp -s "$a" "$b"; then
    command -v diffoscope >/dev/null && diffoscope "$a" "$b"
    fail "$(basename "$a") differs between the two builds (kept in $scratch)"
  fi
done

dpkg-deb -x "$(echo "$one"/build/okwari_*.deb)" "$scratch/pkg"
prog=$scratch/pkg/usr/games/okwari
readelf -d "$prog" | grep -q 'FLAGS.*BIND_NOW' || fail "the packaged program is not bound now"
readelf -lW "$prog" | grep -q GNU_RELRO || fail "the packaged program has no read-only relocations"
syms=$(readelf --dyn-syms -W "$prog")
for s in __stack_chk_fail __printf_chk __fprintf_chk; do
  grep -q " $s@" <<<"$syms" || fail "the packaged program does not call $s"
done
echo "repro-check: the same .deb and tarball from both clones; the program is hardened"
rm -rf "$scratch"
