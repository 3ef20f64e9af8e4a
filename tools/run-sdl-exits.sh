#!/bin/sh
# Runs the programs of the SDL display back end on the display there is
# (CI: under xvfb-run, not headless) COUNT times each, with the window
# surface in plain memory and through SDL's renderer, and fails unless every
# run used the SDL back end and exited 0.
#   usage: tools/run-sdl-exits.sh [COUNT] (default 3; from the source folder, after a build)
set -eu
count=${1:-3}
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

# Runs a program once; fails unless it exits 0 and says it used SDL.
run_sdl() {
  if ! out=$("$@" 2>&1); then
    printf 'failed: %s\n%s\n' "$*" "$out" >&2
    return 1
  fi
  case "$out" in
    *"display: sdl"* | *"display exit:"*) ;;
    *) printf 'not on the SDL back end: %s\n%s\n' "$*" "$out" >&2; return 1 ;;
  esac
}

for acceleration in 0 1; do
  export SDL_FRAMEBUFFER_ACCELERATION=$acceleration
  i=0
  while [ "$i" -lt "$count" ]; do
    i=$((i + 1))
    run_sdl build/tests/platform/window/qelo_display_exit
    run_sdl build/tests/platform/window/qelo_display_exit --exit-from-thread
    run_sdl build/tests/platform/window/qelo_display_exit --shutdown-early
    run_sdl build/tools/window-sample/qelo_window_sample --seconds 1 --screenshot "$shots/window.png"
    run_sdl build/tools/form-sample/qelo_form_sample --seconds 1 --screenshot "$shots/form.png"
  done
  echo "SDL back end, framebuffer acceleration $acceleration: $count clean runs of each program"
done
