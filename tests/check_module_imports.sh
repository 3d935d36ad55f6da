#!/usr/bin/env bash
# Every module exports exactly the two entry points and imports nothing but
# system DLLs and, at load time, the FFmpeg DLLs; the modules after "--" bind
# FFmpeg on first use and import none of it at load time.
#   check_module_imports.sh <bin> <module...> [-- <module...>]
set -euo pipefail
bin=$1; shift
system='KERNEL32|USER32|GDI32|COMCTL32|msvcrt'
allowed="^($system|avfilter-8|avutil-57)\.dll$"
status=0
for module in "$@"; do
  if [ "$module" = -- ]; then allowed="^($system)\.dll$"; continue; fi
  dump=$(x86_64-w64-mingw32-objdump -p "$bin/$module.vdf")
  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^[ \t]*\[/{print $NF;next} on{on=0}' <<<"$dump" | sort | tr '\n' ' ')
  if [ "$exports" != "VirtualdubFilterModuleDeinit VirtualdubFilterModuleInit2 " ]; then
    echo "$module exports: $exports"; status=1
  fi
  while read -r dll; do
    if ! grep -qiE "$allowed" <<<"$dll"; then echo "$module imports $dll"; status=1; fi
  done < <(awk '/DLL Name:/{print $3}' <<<"$dump")
  echo "$module: exports and imports as expected"
done
exit $status
