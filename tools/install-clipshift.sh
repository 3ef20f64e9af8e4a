#!/bin/sh
# Builds Clipshift and installs it as a desktop program under PREFIX
# (default /usr/local): the program and its libraries in lib/clipshift, the
# clipshift command in bin, its menu entry and icon under share. Asks sudo
# for the install when not root.
#   usage: tools/install-clipshift.sh [PREFIX]
set -eu
cd "$(dirname "$0")/.."
prefix=${1:-/usr/local}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ "$(id -u)" = 0 ]; then
  cmake --install build --prefix "$prefix"
else
  sudo cmake --install build --prefix "$prefix"
fi
