#!/usr/bin/env bash
# Makes the build's private Wine prefix once; later starts are quick while
# wineserver keeps running.
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/.tarvu-prefix-ready" ]; then
  echo "making the Wine prefix (once, about 15 s)"
  wineboot --init >/dev/null 2>&1 || true
  # Without a window manager Wine waits 2 s for one whenever a managed
  # window hides: leave the dialogs' windows unmanaged.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.tarvu-prefix-ready"
fi
