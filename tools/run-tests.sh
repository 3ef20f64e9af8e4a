#!/bin/sh
# Builds Clipshift and runs every test suite (headless: no display or sound
# device is needed).
set -eu
cd "$(dirname "$0")/.."
export QELO_HEADLESS=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
