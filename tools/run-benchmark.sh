#!/usr/bin/env bash
# The frame-road benchmark; not part of the tests.
#   tools/run-benchmark.sh [native|wine|both] [seconds per round]
# native: against optimised FFmpeg (with assembly) in ./build-bench;
# wine:   cross-built against the modules' FFmpeg DLLs in ./build-bench-wine.
# Each plug-in's program prints its table and whether the targets are met.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
where=${1:-both}
seconds=${2:-0.1}

native() {
  local prefix
  prefix=$(tools/build-ffmpeg.sh native-release)
  cmake -S . -B build-bench -G Ninja -DTARVU_FFMPEG_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-bench -j4 --target benchmarks >/dev/null
  echo "== native"
  for program in build-bench/bench/bench_*; do "$program" "$seconds"; echo; done
}

wine_run() {
  local prefix
  prefix=$(tools/build-ffmpeg.sh mingw)
  cmake -S . -B build-bench-wine -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DTARVU_FFMPEG_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-bench-wine -j4 --target benchmarks >/dev/null
  export TARVU_WINEPREFIX=$root/build-bench-wine/wineprefix
  tools/wine-prefix.sh "$TARVU_WINEPREFIX"
  echo "== Wine"
  # The program's Linux process id, for its page faults (Wine keeps the id across its exec).
  for program in build-bench-wine/bin/bench_*.exe; do
    bash -c 'export TARVU_LINUX_PID=$$; exec tools/wine-run "$@"' - "$program" "$seconds"
    echo
  done
  WINEPREFIX=$TARVU_WINEPREFIX wineserver -k 2>/dev/null || true
}

case $where in
  native) native ;;
  wine) wine_run ;;
  both) native; wine_run ;;
  *) echo "usage: $0 [native|wine|both] [seconds per round]" >&2; exit 2 ;;
esac
