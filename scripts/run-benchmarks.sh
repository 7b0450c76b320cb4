#!/usr/bin/env bash
# Runs every benchmark; the ones that need a window run under Xvfb when no display is set.
set -uo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [[ -x "$b" ]] || continue
  echo "== $(basename "$b")"
  if [[ -z "${DISPLAY:-}" ]]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$b"
  else
    "$b"
  fi
done
