#!/usr/bin/env bash
# Runs a GoogleTest binary and closes with one summary line: "N passed, N failed".
set -uo pipefail
bin=$1; shift
log=$(mktemp)
"$bin" --gtest_brief=1 "$@" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
passed=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
failed=$(grep -oE '^\[  FAILED  \] [0-9]+ tests?, listed below' "$log" | grep -oE '[0-9]+' | head -1 || true)
rm -f "$log"
echo "$(basename "$bin"): ${passed:-0} passed, ${failed:-0} failed"
exit "$status"
