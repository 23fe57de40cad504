#!/usr/bin/env bash
# Fuzzes the store's readers (fuzz/fuzz_store.cpp) for a bounded time with libFuzzer, ASan and
# UBSan. Fails on any crash, broken invariant, leak, timeout, excess memory or sanitizer report.
#   bash tools/fuzz.sh                      120 s, one worker per core
#   ZENTO_FUZZ_SECONDS=600 bash tools/fuzz.sh
# The workers fuzz a copy of fuzz/corpus, which is left as it is. A failing input is kept in
# $build/artifacts; replay it with: $build/fuzz/fuzz_store <file>
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=$root/${ZENTO_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${ZENTO_FUZZ_SECONDS:-120}
workers=$(nproc)

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZENTO_FUZZ=ON -DZENTO_BUILD_GUI=OFF -DZENTO_BUILD_TESTS=OFF -DZENTO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$workers" --target fuzz_store

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r fuzz/corpus "$work/corpus"
artifacts=$build/artifacts
logs=$build/fuzz-logs
rm -rf "$artifacts" "$logs"
mkdir -p "$artifacts" "$logs"

# Independent workers on one corpus folder (each reloads what the others add); libFuzzer's fork
# mode spends most of a short run restarting its jobs. Each worker writes fuzz-<n>.log in the
# current folder. Leak detection is on by default.
status=0
(
    cd "$work"
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz/fuzz_store" corpus -dict="$root/fuzz/store.dict" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=2048 -max_total_time="$seconds" \
        -jobs="$workers" -workers="$workers" -artifact_prefix="$artifacts/" >runner.log 2>&1
) || status=$?
cp "$work"/*.log "$logs/"

if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|invariant broken' "$logs"/*.log; then
    [ "$status" -ne 0 ] || status=1
fi
[ -z "$(find "$artifacts" -type f)" ] || [ "$status" -ne 0 ] || status=1

runs=0
for log in "$logs"/fuzz-*.log; do
    n=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
    runs=$((runs + ${n:-0}))
done
echo "fuzz_store: ${seconds} s x $workers workers, $(find fuzz/corpus -type f | wc -l) seeds, $runs executions"
for log in "$logs"/fuzz-*.log; do
    echo "  $(basename "$log"): $(grep -E '^#[0-9]+' "$log" | tail -n 1 | tr '\t' ' ')"
done
echo "  corpus copy at the end: $(find "$work/corpus" -type f | wc -l) inputs"
if [ "$status" -ne 0 ]; then
    echo "fuzz_store FAILED (status $status); failing inputs in $artifacts:" >&2
    find "$artifacts" -type f >&2
    grep -h -E -A 30 'ERROR:|runtime error:|invariant broken' "$logs"/*.log | head -n 80 >&2 || true
    echo "logs: $logs" >&2
    exit 1
fi
echo "fuzz_store: no fault found (logs: $logs)"
