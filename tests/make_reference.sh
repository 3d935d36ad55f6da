#!/usr/bin/env bash
# Makes the source and reference frames for the pixel tests with the FFmpeg
# command-line tool: for each case of the manifest, 3 frames of a clip that
# shows compression blocks, and the same frames through "-vf <filter>=<options>".
set -euo pipefail
manifest=$1 out=$2
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
pixfmt() { case $1 in 13|26|33|40) echo yuv444p ;; *) echo yuv420p ;; esac; }

clip=$out/blocky.m2v
[ -f "$clip" ] || ff -f lavfi -i testsrc2=size=176x144:rate=25 -frames:v 3 -c:v mpeg2video -qscale:v 24 "$clip"

count=0
while IFS='|' read -r filter name format width height dwidth dheight args options; do
  case $filter in ''|'#'*) continue ;; esac
  pf=$(pixfmt "$format")
  src=$out/src_${pf}_${width}x${height}.yuv
  [ -f "$src" ] || ff -i "$clip" -vf "scale=${width}:${height}:flags=neighbor,format=$pf" -f rawvideo "$src"
  ff -f rawvideo -pix_fmt "$pf" -s "${width}x${height}" -i "$src" -vf "$filter=$options" \
     -f rawvideo -pix_fmt "$pf" "$out/$filter-$name.ref.yuv"
  count=$((count + 1))
done < "$manifest"
cp "$manifest" "$out/cases.txt"
echo "made $count reference cases in $out"
