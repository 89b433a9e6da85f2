#!/usr/bin/env bash
# usage: packaging/distcheck.sh TARBALL
# Proves that the source release TARBALL (okwari-<version>.tar.gz) holds all
# the build and the tests need: unpacked in a scratch folder outside any git
# checkout, its sources made read-only, it is configured and built out of
# tree, every ctest test and the format and manual-page checks run there, the
# package is made from it, and an install into a DESTDIR must give exactly the
# program and its manual page.
# Root ignores read-only modes, so the sources are also compared with the
# tarball at the end: nothing may have been written there.
set -eu
tarball=$(realpath "$1") name=$(basename "$1" .tar.gz) start=$(date +%s)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/okwari-distcheck.XXXXXX")
src=$scratch/$name build=$scratch/build dest=$scratch/dest
fail() { echo "distcheck: FAIL: $* (kept in $scratch)"; exit 1; }
export GIT_CEILING_DIRECTORIES=$scratch

tar -xzf "$tarball" -C "$scratch"
[ "$(ls -A "$scratch")" = "$name" ] || fail "$tarball does not unpack into $name/ alone"
chmod -R a-w "$src"
make --no-print-directory -C "$src" test-plain format-check man-check BUILD="$build" ||
  fail "the tests failed"
make -C "$src" package BUILD="$scratch/out" DIST="$tarball" >"$scratch/package.log" 2>&1 ||
  fail "make package: $(tail -n 20 "$scratch/package.log")"

DESTDIR=$dest cmake --install "$build" --prefix /usr/local >/dev/null
found=$(cd "$dest" && find . ! -type d | LC_ALL=C sort | xargs)
want="./usr/local/bin/okwari ./usr/local/share/man/man6/okwari.6"
[ "$found" = "$want" ] || fail "install gave: $found; expected: $want"
st=0; "$dest/usr/local/bin/okwari" >/dev/null 2>&1 || st=$?
[ $st = 9 ] || fail "the installed program, given no players, ended with $st, not 9 (usage)"
cmp "$dest/usr/local/share/man/man6/okwari.6" "$src/man/okwari.6" || fail "the installed page differs"

chmod -R u+w "$src"
tar -dzf "$tarball" -C "$scratch" >"$scratch/compare.log" 2>&1 || fail "sources changed: $(cat "$scratch/compare.log")"
extra=$(cd "$scratch" && comm -13 <(tar -tzf "$tarball" | sed 's|/$||' | LC_ALL=C sort) \
  <(find "$name" | LC_ALL=C sort))
[ -z "$extra" ] || fail "written into the sources: $extra"
rm -rf "$scratch"
echo "distcheck: $name.tar.gz builds, passes its tests read-only, makes the package and installs $want ($(($(date +%s) - start))s)"
