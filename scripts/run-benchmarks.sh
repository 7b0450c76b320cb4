#!/usr/bin/env bash
# Runs every benchmark; the ones that need a window run under Xvfb when no display is set, on a screen of
# 1024 x 768 (the size the start-up and menu figures are given for: the menu goes full screen at the screen's size).
set -uo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [[ -x "$b" ]] || continue
  # The floor of the start-up benchmark is started by bench_startup itself.
  [[ "$(basename "$b")" == bench_window_floor ]] && continue
  echo "== $(basename "$b")"
  if [[ -z "${DISPLAY:-}" ]]; then
    xvfb-run -a -s "-screen 0 1024x768x24" "$b"
  else
    "$b"
  fi
done
