#!/usr/bin/env bash
# Debian packages the build and the tests need. Safe to run again.
set -euo pipefail
packages=(
  cmake ninja-build make pkg-config dpkg-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth
  nasm ffmpeg googletest libfmt-dev llvm-14
  g++
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
