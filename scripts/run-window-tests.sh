#!/usr/bin/env bash
# Runs the tests that need a real window; under xvfb-run when no display is set.
set -euo pipefail
build=${1:-build}
bin="$build/kolbrix_window_tests"
[[ -x "$bin" ]] || exit 0
here=$(dirname "$0")
if [[ -n "${DISPLAY:-}" ]]; then
  "$here/run-unit-tests.sh" "$bin"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/run-unit-tests.sh" "$bin"
fi
