#!/bin/sh
# Installs every Debian package that building, running and testing Clipshift
# needs, on Debian 12. Run it as root, or as a user who may use sudo: it
# asks sudo itself when it is not root.
set -e
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo sh "$0" "$@"
  fi
  echo "install-deps.sh: installing packages needs root; run it as root (sudo is not installed)" >&2
  exit 1
fi
# A bare system has no terminal to answer package questions on.
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake pkg-config git \
  libgtest-dev libgmock-dev libbenchmark-dev \
  ffmpeg libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev \
  libavcodec-extra \
  libsdl2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev libfreetype-dev \
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libpugixml-dev libglib2.0-dev shared-mime-info \
  fonts-dejavu-core fonts-dejavu-extra xvfb xauth dbus-daemon \
  clang-14 libclang-rt-14-dev
