#!/usr/bin/env bash
# Makes the source and reference frames for the pixel tests with the FFmpeg
# command-line tool: for each case of the manifest, 3 frames of a clip that
# shows compression blocks (a noisy one for the denoisers, 6 interlaced ones
# for the deinterlacer), and every picture "-vf <filter>=<options>" makes of
# them.
set -euo pipefail
manifest=$1 out=$2
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
pixfmt() { case $1 in 13|26|33|40) echo yuv444p ;; *) echo yuv420p ;; esac; }

blocky=$out/blocky.m2v
[ -f "$blocky" ] || ff -f lavfi -i testsrc2=size=176x144:rate=25 -frames:v 3 -c:v mpeg2video -qscale:v 24 "$blocky"
noisy=$out/noisy.mkv
[ -f "$noisy" ] || ff -f lavfi -i "testsrc2=size=176x144:rate=25,format=yuv444p,noise=alls=24:allf=t+u:all_seed=4242" \
  -frames:v 3 -c:v ffv1 "$noisy"
clip_for() { case $1 in vaguedenoiser) echo "$noisy" ;; *) echo "$blocky" ;; esac; }
# Two fields that really differ: a window moving across a pattern at 50
# fields a second, with noise, woven into 25 frames a second (yuv444p first,
# so that odd sizes stay as they are).
make_source() {  # filter pix_fmt width height file
  case $1 in
    bwdif)
      ff -f lavfi -i testsrc2=size=352x288:rate=50 -frames:v 6 -f rawvideo \
         -vf "format=yuv444p,crop=$3:$4:x=mod(n*5\,320):y=mod(n*3\,264),noise=alls=24:allf=t,tinterlace=mode=interleave_top,format=$2" \
         "$5" ;;
    *) ff -i "$(clip_for "$1")" -vf "scale=$3:$4:flags=neighbor,format=$2" -f rawvideo "$5" ;;
  esac
}

count=0
while IFS='|' read -r filter name format width height dwidth dheight args options; do
  case $filter in ''|'#'*) continue ;; esac
  pf=$(pixfmt "$format")
  src=$out/src_${filter}_${pf}_${width}x${height}.yuv
  [ -f "$src" ] || make_source "$filter" "$pf" "$width" "$height" "$src"
  # Rawvideo carries no interlacing flags, and every picture is kept.
  ff -f rawvideo -pix_fmt "$pf" -s "${width}x${height}" -i "$src" -vf "$filter=$options" -fps_mode passthrough \
     -f rawvideo -pix_fmt "$pf" "$out/$filter-$name.ref.yuv"
  count=$((count + 1))
done < "$manifest"
cp "$manifest" "$out/cases.txt"
echo "made $count reference cases in $out"
