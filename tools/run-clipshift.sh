#!/bin/sh
# Builds Clipshift and starts it.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -x build/app/Clipshift ]; then
  exec build/app/Clipshift "$@"
fi
echo "The Clipshift program itself is not built yet; the libraries and their tests are (see README.md)." >&2
exit 1
