#!/bin/sh
# Installs every Debian package that building, running and testing Clipshift
# needs. Run as root (or through sudo) on Debian 12.
set -e
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config git \
  libgtest-dev libgmock-dev libbenchmark-dev \
  ffmpeg libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev \
  libavcodec-extra \
  libsdl2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libfreetype-dev \
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libpugixml-dev libglib2.0-dev \
  fonts-dejavu-core fonts-dejavu-extra xvfb xauth dbus-daemon \
  clang-14 libclang-rt-14-dev
