#!/usr/bin/env bash
# Builds the plug-ins, packages them into dist/ and runs the demo.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
tools/configure-build.sh
rm -rf dist && mkdir -p dist/tarvudlls
cp build/bin/Tarvu*.vdf dist/
cp build/bin/avfilter-8.dll build/bin/avutil-57.dll build/bin/swscale-6.dll dist/tarvudlls/
echo "package ready in dist/:"; (cd dist && find . -type f | sort)
tools/run-demo.sh
