#!/bin/sh
# Builds Clipshift and starts it (in a graphical session; without a display
# the program says so and ends).
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/app/Clipshift "$@"
