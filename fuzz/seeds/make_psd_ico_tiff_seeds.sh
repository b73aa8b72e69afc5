#!/usr/bin/env bash
# Small seed files for fuzz_psd, fuzz_ico and fuzz_tiff, made by ImageMagick
# and libtiff's tools.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p psd ico tiff
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert=/usr/bin/convert
$convert -size 12x9 plasma:fractal -depth 8 "$tmp/s.ppm"
$convert "$tmp/s.ppm" -compress RLE psd/rgb_rle.psd
$convert "$tmp/s.ppm" -colorspace Gray -depth 16 -compress None psd/grey16.psd
$convert "$tmp/s.ppm" -colorspace CMYK -compress RLE psd/cmyk.psd
$convert "$tmp/s.ppm" -alpha set -channel A -evaluate set 50% +channel psd/rgba_layer.psd
$convert "$tmp/s.ppm" -resize 16x16! "$tmp/a.png"
$convert "$tmp/s.ppm" -resize 8x8! -alpha set -channel A -fx 'i/w' +channel "$tmp/b.png"
$convert "$tmp/a.png" "$tmp/b.png" ico/two.ico
ppm2tiff "$tmp/s.ppm" "$tmp/base.tif"
tiffcp -c lzw:2 "$tmp/base.tif" tiff/lzw_predictor.tif
tiffcp -c zip -t -w 16 -l 16 "$tmp/base.tif" tiff/zip_tiles.tif
tiffcp -c packbits -p separate -f lsb2msb "$tmp/base.tif" tiff/packbits_separate.tif
tiffcp -c jpeg -r 16 "$tmp/base.tif" tiff/jpeg.tif
$convert -size 40x12 xc:white -draw 'line 0,0 39,11' -depth 1 -type bilevel -compress none "$tmp/bw.tif"
tiffcp -c g4 "$tmp/bw.tif" tiff/g4.tif
tiffcp -c g3:2d "$tmp/bw.tif" tiff/g3_2d.tif
tiffcp -c g3 -B "$tmp/bw.tif" tiff/g3_be.tif
$convert "$tmp/s.ppm" "$tmp/s.ppm" -colors 5 -type Palette tiff/palette_two_pages.tif
# Palette icons of 1 and 4 bits (ImageMagick writes 32-bit entries only).
/usr/bin/python3 - <<'PY'
import struct
def entry(w, h, bits, palette, rows, mask):
    head = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bits, 0, 0, 0, 0, 0, 0)
    return head + b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette) + rows + mask
def icon(entries):
    out = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for e in entries:
        out += struct.pack('<BBBBHHII', 8, 8, 0, 0, 1, 0, len(e), offset)
        offset += len(e)
    return out + b''.join(entries)
one = entry(8, 8, 1, [(0, 0, 0), (255, 255, 255)], bytes([0x3C, 0, 0, 0] * 8), bytes([0x81, 0, 0, 0] * 8))
four = entry(8, 8, 4, [(i * 16, 255 - i * 16, i * 8) for i in range(16)],
             b''.join(bytes([0x01, 0x23, 0x45, 0x67]) for _ in range(8)), bytes([0x0F, 0, 0, 0] * 8))
open('ico/palette_1_4.ico', 'wb').write(icon([one, four]))
PY
