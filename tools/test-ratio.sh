#!/usr/bin/env bash
# The size of the tests against the code: non-blank lines of .cpp, .h, .sh and .py under tests/
# and under src/, and their ratio (the project keeps it between 0.25 and 0.40).
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { find "$1" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' \) -exec cat {} + | grep -cv '^\s*$'; }
tests=$(lines tests)
src=$(lines src)
awk -v t="$tests" -v s="$src" 'BEGIN { printf "tests/ %d, src/ %d non-blank lines: %.2f\n", t, s, t / s }'
