#!/usr/bin/env bash
# Makes the small seed files of fuzz_jpeg and fuzz_png with cjpeg, exiftool,
# ImageMagick and Pillow.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/convert -size 40x30 gradient:red-blue -swirl 60 "$tmp/src.ppm"
/usr/bin/convert -size 16x12 gradient:green-yellow "$tmp/thumb.ppm"
cjpeg -quality 60 -outfile jpeg/baseline.jpg "$tmp/src.ppm"
cjpeg -progressive -quality 50 -outfile jpeg/progressive.jpg "$tmp/src.ppm"
cjpeg -grayscale -restart 1 -outfile jpeg/grey-restart.jpg "$tmp/src.ppm"
cjpeg -arithmetic -sample 1x1 -outfile jpeg/arithmetic-444.jpg "$tmp/src.ppm"
/usr/bin/convert "$tmp/src.ppm" -colorspace CMYK -quality 50 jpeg/cmyk.jpg
cjpeg -quality 50 -outfile "$tmp/thumb.jpg" "$tmp/thumb.ppm"
cp jpeg/baseline.jpg jpeg/exif-thumbnail.jpg
exiftool -q -overwrite_original -Make=Seed -Comment=seed "-ThumbnailImage<=$tmp/thumb.jpg" jpeg/exif-thumbnail.jpg

/usr/bin/convert "$tmp/src.ppm" -colors 12 -depth 4 png/palette4.png
/usr/bin/convert "$tmp/src.ppm" -colorspace Gray -depth 2 png/grey2.png
/usr/bin/convert "$tmp/src.ppm" -alpha set -channel A -evaluate set 50% +channel -depth 16 -interlace PNG png/rgba16-interlaced.png
/usr/bin/python3 - "$tmp/src.ppm" <<'PY'
import sys
from PIL import Image, PngImagePlugin
src = Image.open(sys.argv[1])
info = PngImagePlugin.PngInfo()
info.add_text('Comment', 'seed')
info.add_text('Title', 'fuzz', zip=True)
src.convert('P', palette=Image.ADAPTIVE, colors=8).save('png/palette-trns-text.png', transparency=bytes([0, 128] + [255] * 6), pnginfo=info)
src.convert('LA').save('png/grey-alpha.png')
PY
