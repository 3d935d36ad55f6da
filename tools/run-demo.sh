#!/usr/bin/env bash
# Runs each plug-in over a short clip that suits it and writes, per plug-in,
# a before/after picture (PNG) and a picture of its dialog into demo-output/.
# Each before/after picture has the frame before (top) and after (bottom)
# filtering, whole on the left and a crop scaled up 4x on the right, so that
# blocks, soft edges or noise show at a glance.
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
raw=(-f rawvideo -pix_fmt yuv420p -s "${width}x${height}")

# Clips, as raw 4:2:0 frames: compression blocks, fine detail with noise
# (for the blur and the denoisers), and interlaced motion.
ff -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" -frames:v 10 -c:v mpeg2video -qscale:v 28 "$out/blocky.m2v"
ff -i "$out/blocky.m2v" -pix_fmt yuv420p -f rawvideo "$out/blocky.yuv"
rm -f "$out/blocky.m2v"
ff -f lavfi -i "testsrc2=size=${width}x${height}:rate=25" -frames:v 10 \
   -vf "noise=alls=24:allf=t,format=yuv420p" -f rawvideo "$out/noisy.yuv"
# An interlaced clip: a pan at 50 fields a second woven into 25 frames, so
# that every moving edge combs.
ff -f lavfi -i "testsrc2=size=$((width * 2))x${height}:rate=50" -frames:v 10 \
   -vf "crop=${width}:${height}:x=n*4:y=0,tinterlace=mode=interleave_top,format=yuv420p" -f rawvideo "$out/interlaced.yuv"

# Frame 5 of a raw clip, whole beside a 4x crop at x,y.
frame() { ff "${raw[@]}" -i "$1" -vf "select=eq(n\,5)" -frames:v 1 -f rawvideo -pix_fmt rgb24 "$2"; }
compare() {  # before.rgb after.rgb crop-x crop-y picture.png
  local size=${width}x${height} cw=$((width / 4)) ch=$((height / 4))
  ff -f rawvideo -pix_fmt rgb24 -s "$size" -i "$1" -f rawvideo -pix_fmt rgb24 -s "$size" -i "$2" -filter_complex \
    "[0]split[b0][b1];[1]split[a0][a1];
     [b1]crop=$cw:$ch:$3:$4,scale=$width:$height:flags=neighbor[bc];
     [a1]crop=$cw:$ch:$3:$4,scale=$width:$height:flags=neighbor[ac];
     [b0][bc]hstack[top];[a0][ac]hstack[bottom];[top][bottom]vstack" -frames:v 1 "$5"
}

demo() {  # name module clip crop-x crop-y [Config arguments...]
  local name=$1 module=$2 clip=$out/$3.yuv x=$4 y=$5; shift 5
  "$root/tools/wine-run" "$root/build/bin/demo.exe" "$module" $width $height "$clip" "$out/$name.yuv" \
    "$out/$name-dialog.bmp" "$@"
  ff -i "$out/$name-dialog.bmp" "$out/$name-dialog.png" && rm -f "$out/$name-dialog.bmp"
  frame "$clip" "$out/$name-before.rgb"
  frame "$out/$name.yuv" "$out/$name-after.rgb"
  compare "$out/$name-before.rgb" "$out/$name-after.rgb" "$x" "$y" "$out/$name-before-after.png"
  rm -f "$out/$name.yuv" "$out/$name-before.rgb" "$out/$name-after.rgb"
}
demo deblock TarvuDeblock blocky 120 90 0 8 60 40 40 40 0
demo unsharp TarvuUnSharp blocky 120 90 1 1 15 1 1 0
demo smartblur TarvuSmartBlur noisy 120 90 0 30 10 -10 10 10 0
demo nlmeans TarvuNlMeans noisy 120 90 100 3 4 0 2 3
demo vaguedenoiser TarvuVagueDenoiser noisy 120 90 12 6 85 2 0
demo bwdif TarvuBwDif interlaced 40 40 0 -1
rm -f "$out"/*.yuv
WINEPREFIX=$TARVU_WINEPREFIX wineserver -k 2>/dev/null || true
echo "demo pictures in $out:"; ls "$out"
