#!/usr/bin/env bash
# Runs each plug-in over a short clip that shows compression blocks and
# writes before/after pictures (PNG) into demo-output/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/demo-output
mkdir -p "$out"
export TARVU_WINEPREFIX=$root/build/wineprefix
"$root/tools/wine-prefix.sh" "$TARVU_WINEPREFIX"
# The dialogs are real windows: give them a display when there is none.
if [ -z "${DISPLAY:-}" ] && [ -z "${TARVU_DEMO_UNDER_XVFB:-}" ]; then
  export TARVU_DEMO_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
width=320 height=240
ff -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" -frames:v 10 -c:v mpeg2video -qscale:v 28 "$out/clip.m2v"
ff -i "$out/clip.m2v" -pix_fmt yuv420p -f rawvideo "$out/clip.yuv"
raw=(-f rawvideo -pix_fmt yuv420p -s "${width}x${height}")
picture() { ff "${raw[@]}" -i "$1" -vf "select=eq(n\,5)" -frames:v 1 "$2"; }
picture "$out/clip.yuv" "$out/before.png"

demo() {  # name module [Config arguments...]
  local name=$1 module=$2; shift 2
  "$root/tools/wine-run" "$root/build/bin/demo.exe" "$module" $width $height "$out/clip.yuv" "$out/$name.yuv" \
    "$out/$name-dialog.bmp" "$@"
  ff -i "$out/$name-dialog.bmp" "$out/$name-dialog.png" && rm -f "$out/$name-dialog.bmp"
  picture "$out/$name.yuv" "$out/$name-after.png"
  ff -i "$out/before.png" -i "$out/$name-after.png" -filter_complex hstack "$out/$name-before-after.png"
  rm -f "$out/$name.yuv"
}
demo deblock TarvuDeblock 0 8 60 40 40 40 0
demo unsharp TarvuUnSharp 1 1 15 1 1 0
rm -f "$out/clip.yuv"
WINEPREFIX=$TARVU_WINEPREFIX wineserver -k 2>/dev/null || true
echo "demo pictures in $out:"; ls "$out"
