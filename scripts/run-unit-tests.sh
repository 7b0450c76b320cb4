#!/usr/bin/env bash
# Runs a GoogleTest binary and closes with one summary line: "N passed, N failed".
set -uo pipefail
bin=$1; shift
log=$(mktemp)
"$bin" --gtest_brief=1 "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
passed=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
# The brief output lists each failed test on its own "[  FAILED  ] Suite.Test" line.
failed=$(grep -cE '^\[  FAILED  \] [A-Za-z_]' "$log" || true)
rm -f "$log"
echo "$(basename "$bin"): ${passed:-0} passed, ${failed:-0} failed"
exit "$status"
