#!/usr/bin/env bash
# GIF, Targa, PCX and PNM decoding against Pillow (and ImageMagick for
# reference), in the same run, on 3000x2000 pictures made at run time:
#   gif       256 colours (LZW), Pillow      tga-raw / tga-rle   ImageMagick: 24-bit / 6 levels a channel, RLE
#   pcx       24-bit, three planes, RLE      pcx-8               8-bit with palette
#   ppm       binary P6                      pgm-16 / ppm-16     binary P5 / P6, 16-bit samples
# Each full decode: fotrix-cli decode FILE /dev/null  vs  PIL Image.open().load()
# vs  convert FILE pam:/dev/null. Each pair runs alternately; prints the
# median ratios ours/theirs of processor and wall time with min and max
# (below 1.0: we are faster). Pillow's process time would include starting
# Python, so our whole process is paired with Pillow's open + load() alone,
# measured inside Python.
#
# usage: bench/readers.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time pamdepth; do
  command -v "$tool" >/dev/null || { echo "bench/readers.sh: $tool is missing" >&2; exit 1; }
done
"$python" -c 'import PIL' 2>/dev/null || { echo "bench/readers.sh: Pillow is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-readers-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "== corpus: 3000x2000 pictures in $work"
"$convert" -seed 7 -size 750x500 plasma:fractal -resize 3000x2000! -type truecolor -depth 8 "$work/in.ppm"
"$python" - "$work" <<'PY'
import sys
from PIL import Image
work = sys.argv[1]
src = Image.open(f"{work}/in.ppm")
src.quantize(256).save(f"{work}/in.gif")
src.save(f"{work}/in.pcx")
src.quantize(256).save(f"{work}/in-8.pcx")
PY
"$convert" "$work/in.ppm" "$work/in-raw.tga"
# Fewer levels, so that the run-length coder finds runs.
"$convert" "$work/in.ppm" -posterize 6 -compress RLE "$work/in-rle.tga"
"$convert" "$work/in.ppm" -colorspace gray "$work/grey.pgm"
pamdepth 65535 "$work/grey.pgm" > "$work/in-16.pgm"
pamdepth 65535 "$work/in.ppm" > "$work/in-16.ppm"
declare -A files=([gif]=in.gif [tga-raw]=in-raw.tga [tga-rle]=in-rle.tga [pcx]=in.pcx [pcx-8]=in-8.pcx
                  [ppm]=in.ppm [pgm-16]=in-16.pgm [ppm-16]=in-16.ppm)
cases=(gif tga-raw tga-rle pcx pcx-8 ppm pgm-16 ppm-16)
for case in "${cases[@]}"; do
  printf '%-8s %8.1f MB\n' "$case" "$(stat -c %s "$work/${files[$case]}" | awk '{print $1 / 1e6}')"
  # Our decode must succeed at full size before it is timed.
  "$cli" decode "$work/${files[$case]}" "$work/check.pam" | grep -q '^width: 3000' ||
    { echo "bench/readers.sh: decoding $case failed" >&2; exit 1; }
done

. bench/timing.sh

echo "== full decode, ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
for case in "${cases[@]}"; do
  file=$work/${files[$case]}
  ours="$cli decode $file /dev/null"
  paired "$case vs Pillow load()" "$ours" "pillow-load $file"
  paired "$case vs ImageMagick" "$ours" "$convert $file pam:/dev/null"
done
