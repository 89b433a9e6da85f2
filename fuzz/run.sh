#!/bin/sh
# Runs fuzz targets for a bounded time, each on a scratch copy of its seed
# corpus, so the committed corpus never grows and crash files land in the
# build directory, never in the source tree.
#
#   fuzz/run.sh BUILD_DIR SECONDS [RUNS [TARGET...]]
#
# Each target stops after RUNS executions (default -1: no limit) or SECONDS,
# whichever comes first; all three targets run unless some are named. Prints
# one line per target with the fuzzer's final "#N DONE" line and the wall
# time, and exits non-zero when any target found a crash, a hang or a leak.
# Every call works in a directory of its own under BUILD_DIR, so two runs at
# once (two people's `make test`) do not trample each other; it is removed
# when all passed and kept, with logs and failing inputs, when one failed.
set -u
build=$1
seconds=$2
runs=${3:--1}
shift $(($# < 3 ? $# : 3))
targets=${*:-board_file_fuzz human_fuzz rules_fuzz}
here=$(cd "$(dirname "$0")" && pwd)
run=$(mktemp -d "$build/fuzz-run-XXXXXX") || exit 1
passed=0
failed=0
for target in $targets; do
    work=$run/$target
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$here/corpus/$target/"* "$work/corpus/"
    start=$(date +%s)
    if "$build/fuzz/$target" "$work/corpus" -runs="$runs" -max_total_time="$seconds" \
        -timeout=10 -artifact_prefix="$work/artifacts/" >"$work/log" 2>&1; then
        result=passed
        passed=$((passed + 1))
    else
        result=FAILED
        failed=$((failed + 1))
    fi
    took=$(($(date +%s) - start))
    done_line=$(grep -a 'DONE' "$work/log" | tail -n 1)
    echo "$target: $result after ${took}s: ${done_line:-no DONE line}"
    if [ "$result" = FAILED ]; then
        tail -n 40 "$work/log"
        echo "$target: log in $work/log, the failing input in $work/artifacts/"
    fi
done
echo "fuzz: $passed passed, $failed failed"
if [ "$failed" -ne 0 ]; then
    exit 1
fi
rm -rf "$run"
