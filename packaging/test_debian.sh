#!/usr/bin/env bash
# usage: packaging/test_debian.sh SUITE...   (as root)
# For each Debian release named (bookworm, trixie, sid, ...): a fresh minimal
# root (debootstrap --variant=minbase) in a scratch folder, the last commit
# cloned into it, and there, as its root with no standard input, the README's
# set-up: make installed, `make play` (which ends at the first prompt), then
# `make test`, with no warning from any compiler. Then every optional tool
# that make test's skip lines name is installed (clang with the libFuzzer
# runtime of its own version, clang-format, clang-tidy, mandoc) and `make
# test` must pass again with no check skipped; and `make bench` must build
# against the release's Google Benchmark and run one short measurement. One
# line per release, with the compilers it used; the logs of a release that
# failed are kept. MIRROR is the archive to install from.
set -eu
cd "$(dirname "$0")/.."
[ "$(id -u)" = 0 ] || { echo "test-debian: needs root (debootstrap, chroot, mounts)"; exit 1; }
mirror=${MIRROR:-http://deb.debian.org/debian} top=$PWD failed=
commit=$(git rev-parse HEAD)

# Inside the root: the README's commands, then make test with every tool.
inside='set -e; exec </dev/null; cd /okwari
export DEBIAN_FRONTEND=noninteractive
apt-get update -q >lists.log && apt-get install -y -q --no-install-recommends make >apt.log
make play >play.log 2>&1 || { cat play.log; exit 1; }
make test >test.log 2>&1 || { tail -n 60 test.log; exit 1; }
apt-get install -y -q --no-install-recommends clang clang-format clang-tidy mandoc
apt-get install -y -q --no-install-recommends "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
make test >test-tools.log 2>&1 || { tail -n 60 test-tools.log; exit 1; }
make bench BENCH_ARGS=--benchmark_filter=board_move/small >bench.log 2>&1 || { tail -n 60 bench.log; exit 1; }
if grep -E "warning:" test.log test-tools.log bench.log || grep -E "^[a-z-]+: skipped" test-tools.log; then exit 1; fi
grep -h -E "tests passed|^[a-z-]+: " test-tools.log
fetched() { sed -n -e "s/^[0-9]* upgraded, \([0-9]*\) newly installed.*/\1 .deb, /p" \
  -e "s/^Need to get \([^ ]* [kMG]*B\).*/\1/p" "$1" | tr -d "\n"; }
echo "fetched: lists $(sed -n "s/^Fetched \([^ ]* [kMG]*B\).*/\1/p" lists.log)," \
  "make $(fetched apt.log), make play $(fetched play.log), make test $(fetched test.log);" \
  "g++ $(g++ -dumpfullversion), clang $(clang++ -dumpversion), $(cmake --version | head -n 1)"'

# $1 the root: /dev holds a few nodes and a devpts of its own, never the host's.
mount_all() {
  mount -t proc proc "$1/proc"
  mount -t tmpfs -o mode=755 dev "$1/dev"
  for node in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
    IFS=: read -r name major minor <<<"$node"; mknod -m 666 "$1/dev/$name" c "$major" "$minor"
  done
  mkdir "$1/dev/pts" "$1/dev/shm" && chmod 1777 "$1/dev/shm" && ln -s pts/ptmx "$1/dev/ptmx"
  ln -s /proc/self/fd "$1/dev/fd"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$1/dev/pts"
}
umount_all() {
  for m in dev/pts dev proc; do mountpoint -q "$1/$m" && umount "$1/$m"; done
  ! grep -q " $1/" /proc/mounts
}

for suite in "$@"; do
  root=$(mktemp -d "${TMPDIR:-/tmp}/okwari-$suite.XXXXXX") start=$(date +%s)
  trap 'umount_all "$root" || true' EXIT
  if ! debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1; then
    echo "$suite: debootstrap failed, see $root.debootstrap.log"; failed="$failed $suite"; continue
  fi
  git clone -q "$top" "$root/okwari" && git -C "$root/okwari" checkout -q --detach "$commit"
  # The archive may be a frozen copy, whose Release files have since expired.
  echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99okwari-test"
  mount_all "$root"
  if chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    sh -c "$inside" >"$root.log" 2>&1; then
    echo "$suite: make play, make test, make test with every optional tool (none skipped) and make bench pass;" \
      "$(tail -n 1 "$root.log") ($(($(date +%s) - start))s)"
    umount_all "$root" && rm -rf "$root" "$root.log" "$root.debootstrap.log"
  else
    tail -n 40 "$root.log"; echo "$suite: FAILED, log in $root.log"; failed="$failed $suite"
    umount_all "$root"
  fi
  trap - EXIT
done
[ -z "$failed" ] || { echo "test-debian: failed on$failed"; exit 1; }
