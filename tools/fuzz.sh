#!/usr/bin/env bash
# Fuzzes the readers of outside input for a bounded time with libFuzzer, ASan and UBSan: the
# store's (fuzz/fuzz_store.cpp over Alertes.ini) and the iCalendar import's
# (fuzz/fuzz_calendar.cpp). Fails on any crash, broken invariant, leak, timeout, excess memory or
# sanitizer report.
#   bash tools/fuzz.sh                      120 s in all, shared by the targets, one worker per core
#   ZENTO_FUZZ_SECONDS=600 bash tools/fuzz.sh
# The workers fuzz a copy of each corpus, which is left as it is. A failing input is kept in
# $build/artifacts-<target>; replay it with: $build/fuzz/fuzz_<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=$root/${ZENTO_FUZZ_BUILD_DIR:-build-fuzz}
seconds=$(( ${ZENTO_FUZZ_SECONDS:-120} / 2 ))
workers=$(nproc)

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZENTO_FUZZ=ON -DZENTO_BUILD_GUI=OFF -DZENTO_BUILD_TESTS=OFF -DZENTO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$workers" --target fuzz_store fuzz_calendar

# fuzz <target> <corpus> <dictionary> <longest input>
fuzz() {
    local target=$1 corpus=$2 dict=$3 max_len=$4
    local work artifacts=$build/artifacts-$target logs=$build/fuzz-logs-$target status=0 runs=0 n log
    work=$(mktemp -d)
    cp -r "$corpus" "$work/corpus"
    rm -rf "$artifacts" "$logs"
    mkdir -p "$artifacts" "$logs"
    # Independent workers on one corpus folder (each reloads what the others add); libFuzzer's
    # fork mode spends most of a short run restarting its jobs. Each worker writes fuzz-<n>.log.
    (
        cd "$work"
        UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
            "$build/fuzz/fuzz_$target" corpus -dict="$root/$dict" -max_len="$max_len" -timeout=10 \
            -rss_limit_mb=2048 -malloc_limit_mb=2048 -max_total_time="$seconds" \
            -jobs="$workers" -workers="$workers" -artifact_prefix="$artifacts/" >runner.log 2>&1
    ) || status=$?
    cp "$work"/*.log "$logs/"
    if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|invariant broken' "$logs"/*.log; then
        [ "$status" -ne 0 ] || status=1
    fi
    [ -z "$(find "$artifacts" -type f)" ] || [ "$status" -ne 0 ] || status=1
    for log in "$logs"/fuzz-*.log; do
        n=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
        runs=$((runs + ${n:-0}))
    done
    echo "fuzz_$target: ${seconds} s x $workers workers, $(find "$corpus" -type f | wc -l) seeds, $runs executions," \
        "$(find "$work/corpus" -type f | wc -l) inputs at the end"
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "fuzz_$target FAILED (status $status); failing inputs in $artifacts:" >&2
        find "$artifacts" -type f >&2
        grep -h -E -A 30 'ERROR:|runtime error:|invariant broken' "$logs"/*.log | head -n 80 >&2 || true
        echo "logs: $logs" >&2
        return 1
    fi
}

failed=0
fuzz store fuzz/corpus fuzz/store.dict 4096 || failed=1
fuzz calendar fuzz/corpus-calendar fuzz/calendar.dict 8192 || failed=1
[ "$failed" -eq 0 ] && echo "fuzz: no fault found"
exit "$failed"
