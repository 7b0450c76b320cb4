#!/usr/bin/env bash
# Runs every benchmark; the ones that need a window run under Xvfb when no display is set, on a screen of
# 1024 x 768 (the size the start-up and menu figures are given for: the menu goes full screen at the screen's size),
# except bench_play_frames, whose windows are 1024 x 768 and 1920 x 1080: its screen is the larger.
set -uo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [[ -x "$b" ]] || continue
  # The floor of the start-up benchmark is started by bench_startup itself.
  [[ "$(basename "$b")" == bench_window_floor ]] && continue
  echo "== $(basename "$b")"
  screen=1024x768x24
  [[ "$(basename "$b")" == bench_play_frames ]] && screen=1920x1080x24
  if [[ -z "${DISPLAY:-}" ]]; then
    xvfb-run -a -s "-screen 0 $screen" "$b"
  else
    "$b"
  fi
done
