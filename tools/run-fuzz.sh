#!/bin/sh
# Builds the codec bridge's fuzz program (clang with libFuzzer, address and
# undefined-behaviour sanitizers) in build-fuzz and runs it for SECONDS
# (default 180), seeded with one small generated file of each container.
# A crash, a sanitizer report, a broken promise of the bridge or an input
# that takes longer than 20 s (a hang) makes it fail.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-180}
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQELO_FUZZ=ON \
  -DQELO_BUILD_TESTS=OFF -DQELO_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target codecs_fuzz
sh tests/fuzz/make-seeds.sh build-fuzz/seeds
mkdir -p build-fuzz/corpus
LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp" \
  build-fuzz/tests/fuzz/codecs_fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
  -print_final_stats=1 -artifact_prefix=build-fuzz/ build-fuzz/corpus build-fuzz/seeds
