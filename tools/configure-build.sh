#!/usr/bin/env bash
# Installs what the build needs, builds FFmpeg (cached) and the modules.
# Prints nothing but progress; the build folder is ./build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "$(id -u)" = 0 ]; then tools/install-packages.sh; fi
prefix=$(tools/build-ffmpeg.sh mingw)
cmake -S . -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTARVU_FFMPEG_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release >"$root/build-configure.log" 2>&1 \
  || { cat "$root/build-configure.log"; exit 1; }
cmake --build build
