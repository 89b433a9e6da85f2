#!/bin/sh
# Runs every fuzz target for a bounded time on a scratch copy of its seed
# corpus, so the committed corpus never grows and crash files land in the
# build directory, never in the source tree.
#
#   fuzz/run.sh BUILD_DIR SECONDS [RUNS]
#
# Each target stops after RUNS executions (default: no limit) or SECONDS,
# whichever comes first. Prints one line per target with the fuzzer's final
# "#N DONE" line and the wall time; exits non-zero when any target found a
# crash, a hang or a leak.
set -u
build=$1
seconds=$2
runs=${3:--1}
here=$(cd "$(dirname "$0")" && pwd)
status=0
passed=0
failed=0
for target in board_file_fuzz human_fuzz rules_fuzz; do
    work=$build/fuzz-run/$target
    rm -rf "$work"
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
        status=1
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
exit $status
