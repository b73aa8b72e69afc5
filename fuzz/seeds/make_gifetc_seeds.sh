#!/usr/bin/env bash
# Makes the small seed files of the GIF, PCX, Targa and PNM fuzz targets with
# ImageMagick, gifsicle, netpbm and Pillow. Run from the repository root.
set -euo pipefail
seeds=fuzz/seeds
mkdir -p "$seeds/gif" "$seeds/pcx" "$seeds/tga" "$seeds/pnm"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert=/usr/bin/convert
python=/usr/bin/python3
$convert -size 12x9 gradient:red-blue "$tmp/rgb.ppm"
$convert -size 12x9 gradient:black-white -colorspace gray "$tmp/grey.pgm"

# GIF: code sizes 2 and 8, interlaced, animated with local tables and transparency, a comment.
$convert "$tmp/rgb.ppm" -colors 4 "$seeds/gif/four-colours.gif"
$convert "$tmp/rgb.ppm" -colors 200 -interlace GIF "$seeds/gif/interlaced.gif"
$convert -size 8x6 xc:red \( -size 8x6 xc:blue -fill white -draw 'point 2,2' \) -loop 0 "$tmp/anim.gif"
gifsicle -O3 --comment "seed" "$tmp/anim.gif" > "$seeds/gif/animated.gif"
$python - "$seeds/gif/transparent.gif" <<'PY'
import sys
from PIL import Image
im = Image.new("P", (7, 5), 1)
im.putpalette([0, 0, 0, 255, 255, 255, 255, 0, 0])
im.putpixel((3, 2), 2)
im.save(sys.argv[1], transparency=0)
PY

# PCX: 1 bit, 4 planes, 8 bits with its palette, 24 bits.
$convert "$tmp/grey.pgm" -type bilevel "$seeds/pcx/bilevel.pcx"
$convert "$tmp/rgb.ppm" -colors 16 -type palette "$seeds/pcx/palette16.pcx"
$convert "$tmp/rgb.ppm" -colors 60 -type palette "$seeds/pcx/palette256.pcx"
$python -c "import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])" "$tmp/rgb.ppm" "$seeds/pcx/rgb.pcx"

# Targa: mapped, grey, 16, 24 and 32 bits, plain and run-length, both origins.
$python - "$tmp/rgb.ppm" "$seeds/tga" <<'PY'
import sys
from PIL import Image
src = Image.open(sys.argv[1])
for mode in ("P", "L", "RGB", "RGBA"):
    im = src.convert(mode) if mode != "P" else src.quantize(16)
    im.save(f"{sys.argv[2]}/{mode.lower()}-rle.tga", compression="tga_rle")
    im.save(f"{sys.argv[2]}/{mode.lower()}-bottom.tga", orientation=-1)
PY
$convert "$tmp/rgb.ppm" -depth 5 -define tga:bits-per-pixel=16 "$seeds/tga/rgb16.tga" 2>/dev/null || true

# PNM: every magic number, 16-bit samples, an odd maximum, a thumbnail.
pamthreshold "$tmp/grey.pgm" 2>/dev/null | pamtopnm > "$seeds/pnm/raw.pbm"
pnmtoplainpnm "$seeds/pnm/raw.pbm" > "$seeds/pnm/plain.pbm"
cp "$tmp/grey.pgm" "$seeds/pnm/raw.pgm"
pnmtoplainpnm "$tmp/grey.pgm" > "$seeds/pnm/plain.pgm"
pamdepth 65535 "$tmp/rgb.ppm" > "$seeds/pnm/deep.ppm"
pamdepth 100 "$tmp/rgb.ppm" | pnmtoplainpnm > "$seeds/pnm/plain100.ppm"
printf 'P7 332\n#END_OF_COMMENTS\n4 2 255\n\xe0\x1c\x03\xff\x00\x10\x20\x30' > "$seeds/pnm/thumbnail.p7"
