#!/usr/bin/env bash
# Builds the FFmpeg libraries the plug-ins drive from Debian's own source
# package: libavutil, libswscale and libavfilter, with only the filters we use.
#   build-ffmpeg.sh mingw    Windows DLLs (cross-built)
#   build-ffmpeg.sh native   Linux shared libraries under ASan+UBSan
#   build-ffmpeg.sh native-release   Linux shared libraries, optimised, with
#                            assembly: what the native benchmark times
# Prints the install prefix. Results are cached by a hash of this script, so a
# second run costs nothing.
set -euo pipefail
flavour=${1:-mingw}
here=$(cd "$(dirname "$0")" && pwd)
cache=${TARVU_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarvu}
recipe=$(sha256sum "$0" | cut -c1-16)
prefix=$cache/ffmpeg-$flavour-$recipe
if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi

log() { echo "build-ffmpeg: $*" >&2; }
src_root=$cache/ffmpeg-source
if [ ! -d "$src_root/src" ]; then
  log "fetching Debian's ffmpeg source package"
  apt_dir=$cache/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$src_root"
  cat > "$apt_dir/sources.list" <<SRC
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian-security bookworm-security main
deb-src http://deb.debian.org/debian bookworm-updates main
SRC
  apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir")
  apt-get "${apt_opts[@]}" -qq update
  tmp=$(mktemp -d "$src_root/fetch.XXXX")
  (cd "$tmp" && apt-get "${apt_opts[@]}" -qq source --download-only ffmpeg >&2 \
     && dpkg-source -x --skip-patches ./ffmpeg_*.dsc src >&2)
  # Debian's patches only touch packaging and codecs; apply them all the same
  # so the libraries match the command-line tool used as reference.
  (cd "$tmp/src" && for p in $(cat debian/patches/series 2>/dev/null | grep -v '^#'); do
     patch -p1 -s < "debian/patches/$p" >&2; done)
  mv "$tmp/src" "$src_root/src"; rm -rf "$tmp"
fi

filters=deblock,unsharp,smartblur,nlmeans,vaguedenoiser,bwdif,buffer,buffersink,null,scale,format
common=(--disable-everything --disable-autodetect --disable-programs --disable-doc
        --disable-avdevice --disable-avformat --disable-avcodec --disable-swresample
        --disable-postproc --disable-network --enable-gpl
        --enable-avutil --enable-swscale --enable-avfilter
        --enable-filter=$filters --enable-shared --disable-static)
case $flavour in
  mingw)
    extra=(--target-os=mingw32 --arch=x86_64 --enable-cross-compile
           --cross-prefix=x86_64-w64-mingw32- --enable-w32threads --disable-pthreads
           --enable-x86asm --extra-ldflags=-static-libgcc)
    ;;
  native)
    # Undefined behaviour stays recoverable here so that a finding inside
    # FFmpeg can be suppressed by name; UBSAN_OPTIONS=halt_on_error=1 makes
    # every other one fatal.
    san="-fsanitize=address,undefined -fno-omit-frame-pointer"
    # Sanitizers and hand-written assembly do not mix; the C paths are what we check.
    # rpath: libavfilter must find our instrumented libswscale and libavutil,
    # never Debian's.
    extra=(--enable-pthreads --disable-x86asm --disable-inline-asm --toolchain=gcc-asan
           --extra-cflags="$san" --extra-ldflags="$san" --enable-rpath)
    ;;
  native-release)
    extra=(--enable-pthreads --enable-x86asm --enable-rpath)
    ;;
  *) log "unknown flavour $flavour"; exit 2 ;;
esac

work=$cache/ffmpeg-build-$flavour-$recipe
rm -rf "$work" "$prefix"; mkdir -p "$work"
log "configuring ($flavour)"
(cd "$work" && "$src_root/src/configure" --prefix="$prefix" "${common[@]}" "${extra[@]}" >configure.log 2>&1) \
  || { tail -30 "$work/configure.log" >&2; tail -30 "$work/ffbuild/config.log" >&2; exit 1; }
log "building ($flavour)"
make -C "$work" -j"$(nproc)" >"$work/make.log" 2>&1 || { tail -40 "$work/make.log" >&2; exit 1; }
make -C "$work" install >"$work/install.log" 2>&1 || { tail -20 "$work/install.log" >&2; exit 1; }
rm -rf "$work"
touch "$prefix/.complete"
echo "$prefix"
