#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine and Xvfb, then
# the portable core natively under the sanitizers (tools/test-native.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
tools/configure-build.sh
export TARVU_WINEPREFIX=$root/build/wineprefix
tools/wine-prefix.sh "$TARVU_WINEPREFIX"
status=0
WINEPREFIX=$TARVU_WINEPREFIX xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure -j"$(nproc)" "$@" || status=$?
WINEPREFIX=$TARVU_WINEPREFIX wineserver -k 2>/dev/null || true
tools/test-native.sh "$@" || status=$?
exit $status
