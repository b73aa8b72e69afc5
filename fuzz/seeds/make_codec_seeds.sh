#!/usr/bin/env bash
# Makes the small seed files of fuzz_webp, fuzz_avif, fuzz_heif and fuzz_jxl
# with ImageMagick and each codec's own encoder.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -size 24x16 gradient:red-blue -swirl 60 "$tmp/src.png"
/usr/bin/convert -size 16x16 radial-gradient:white-navy -alpha set -channel A -fx "1-hypot(i-8,j-8)/12" +channel "$tmp/alpha.png"
/usr/bin/convert -size 16x16 xc:red "$tmp/red.png"
mkdir -p webp avif heif jxl
cwebp -quiet -q 60 "$tmp/src.png" -o webp/lossy.webp
cwebp -quiet -q 60 -alpha_q 50 "$tmp/alpha.png" -o webp/lossy-alpha.webp
cwebp -quiet -lossless "$tmp/alpha.png" -o webp/lossless-alpha.webp
img2webp -lossless "$tmp/alpha.png" "$tmp/red.png" -o webp/animation.webp >/dev/null
avifenc -j 1 "$tmp/src.png" avif/still.avif >/dev/null
avifenc -j 1 --irot 1 --imir 0 "$tmp/alpha.png" avif/alpha-turned.avif >/dev/null
heif-enc -q 40 "$tmp/src.png" -o heif/still.heic >/dev/null
heif-enc -q 40 "$tmp/alpha.png" -o heif/alpha.heic >/dev/null
cjxl --quiet "$tmp/src.png" jxl/lossy.jxl
cjxl --quiet -d 0 "$tmp/alpha.png" jxl/lossless-alpha.jxl
/usr/bin/convert -dispose none -delay 10 -size 16x12 xc:red \( -size 6x4 xc:blue -repage 16x12+2+2 \) \
  \( -size 5x5 xc:lime -repage 16x12+9+6 \) "$tmp/animation.gif"
cjxl --quiet -d 0 "$tmp/animation.gif" jxl/animation.jxl
