#!/usr/bin/env bash
# The second test configuration: the portable core, built natively under
# AddressSanitizer and UndefinedBehaviorSanitizer against FFmpeg built the
# same way, in ./build-native. Any sanitizer report, leaks included, fails
# the test that made it. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
prefix=$(tools/build-ffmpeg.sh native)
mkdir -p build-native
log=$root/build-native/configure.log
cmake -S . -B build-native -G Ninja -DTARVU_SANITIZE=ON -DTARVU_FFMPEG_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build build-native
supp=$root/tests/sanitizer
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
exec ctest --test-dir build-native --output-on-failure -j"$(nproc)" "$@"
