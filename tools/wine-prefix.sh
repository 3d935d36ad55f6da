#!/usr/bin/env bash
# Makes the build's private Wine prefix once; later starts are quick while
# wineserver keeps running.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "making the Wine prefix (once, about 15 s)"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
