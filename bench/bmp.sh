#!/usr/bin/env bash
# BMP decoding against ImageMagick and Pillow, in the same run, on a
# 6000x4000 24-bit picture made by ImageMagick at run time:
#   full decode                 fotrix-cli decode   vs  convert ... pam:   vs  PIL .load()
#   reduce into a 160x120 box   --box (nearest)     vs  convert -sample    vs  PIL resize NEAREST
#                               --box --area        vs  convert -scale     vs  PIL resize BOX
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max (below 1.0: we are faster), and
# each side's peak memory.
#
# usage: bench/bmp.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench/bmp.sh: $tool is missing" >&2; exit 1; }
done
"$python" -c 'import PIL' 2>/dev/null || { echo "bench/bmp.sh: Pillow is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-bmp-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
picture=$work/in.bmp
echo "== corpus: 6000x4000 24-bit BMP in $work"
"$convert" -seed 5 -size 1500x1000 plasma:fractal -resize 6000x4000! -type truecolor BMP3:"$picture"
ls -l "$picture" | awk '{printf "%.1f MB\n", $5 / 1e6}'

. bench/timing.sh

pil() { echo "$python -c \"import sys; from PIL import Image; $1\" $picture"; }
declare -A commands=(
  [ours-full]="$cli decode $picture /dev/null"
  [magick-full]="$convert $picture pam:/dev/null"
  [pil-full]=$(pil "Image.open(sys.argv[1]).load()")
  [ours-nearest]="$cli decode $picture /dev/null --box 160x120"
  [magick-nearest]="$convert $picture -sample 160x120 pam:/dev/null"
  [pil-nearest]=$(pil "Image.open(sys.argv[1]).resize((160, 107), Image.NEAREST)")
  [ours-area]="$cli decode $picture /dev/null --box 160x120 --area"
  [magick-area]="$convert $picture -scale 160x120 pam:/dev/null"
  [pil-area]=$(pil "Image.open(sys.argv[1]).resize((160, 107), Image.BOX)")
)

# Our reduced output must have the box's proportions.
"$cli" decode "$picture" "$work/small.pam" --box 160x120 | grep -q '^height: 107' ||
  { echo "bench/bmp.sh: unexpected reduced size" >&2; exit 1; }

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
for case in full nearest area; do
  for who in magick pil; do
    paired "$case vs $who" "${commands[ours-$case]}" "${commands[$who-$case]}"
  done
done
