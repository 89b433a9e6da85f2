#!/usr/bin/env bash
# usage: packaging/package.sh BUILD_DIR OUT_DIR   (relative to the source folder)
# Builds the program in BUILD_DIR with the flags Debian builds its own
# packages with, then the package OUT_DIR/okwari_<version>_<arch>.deb, the
# same bytes from any folder, at any time, under any umask, TZ or locale.
#
# Flags: `dpkg-buildflags` with DEB_BUILD_MAINT_OPTIONS (hardening=+all when
# unset), then the caller's CPPFLAGS, CXXFLAGS, CFLAGS and LDFLAGS after them,
# so a distribution's own flags reach the compiler and win where they clash;
# the source and build folders are mapped to `.` and `./BUILD_DIR's name` in
# the debug information, so the build id depends on neither. Time stamps: SOURCE_DATE_EPOCH, or when unset the
# date of the last commit, or outside a git checkout the date of the newest
# entry of packaging/changelog.
set -eu
cd "$(dirname "$0")/.."
mkdir -p "$1" "$2" && build=$(cd "$1" && pwd) out=$(cd "$2" && pwd) top=$PWD
export LC_ALL=C
umask 022

flags() { dpkg-buildflags --get "$1"; }
export DEB_BUILD_MAINT_OPTIONS=${DEB_BUILD_MAINT_OPTIONS-hardening=+all}
map="-ffile-prefix-map=$top=. -ffile-prefix-map=$build=./${build##*/}"
cppflags="$(flags CPPFLAGS) ${CPPFLAGS-}"
cxxflags="$(flags CXXFLAGS) $map ${CXXFLAGS-} $cppflags"
cflags="$(flags CFLAGS) $map ${CFLAGS-} $cppflags"
ldflags="$(flags LDFLAGS) ${LDFLAGS-}"

if [ -z "${SOURCE_DATE_EPOCH-}" ]; then
  if [ -e .git ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  else
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l packaging/changelog -S Timestamp)
  fi
fi
export SOURCE_DATE_EPOCH

# The build type None adds no flags of its own; only the program is built.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_C_FLAGS="$cflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j "${JOBS:-$(nproc)}"
cd "$build" && cpack -D CPACK_OUTPUT_FILE_PREFIX="$out"
