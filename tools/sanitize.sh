#!/usr/bin/env bash
# Builds the unit and widget tests with AddressSanitizer and UndefinedBehaviorSanitizer (gcc,
# Debug) and runs them; any report fails the test that made it, and so this script.
#   bash tools/sanitize.sh
#   ZENTO_ASAN_BUILD_DIR=/tmp/asan bash tools/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ZENTO_ASAN_BUILD_DIR:-build-asan}
jobs=$(nproc)

cmake -S . -B "$build" -DZENTO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DZENTO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs"

# Every report is fatal (ZENTO_SANITIZE also builds UBSan without recovery). Leaks are checked
# at the exit of every test, the Qt ones included: they exit clean, so nothing is suppressed.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir "$build" -L "unit|widget" -j"$jobs" --output-on-failure
