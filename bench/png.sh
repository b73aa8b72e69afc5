#!/usr/bin/env bash
# PNG decoding against libpng-based tools and Pillow, in the same run, on a
# 3000x2000 RGB picture made by ImageMagick at run time:
#   fotrix-cli decode   vs  pngtopnm (netpbm over libpng)   vs  ImageMagick
#   (libpng)   vs  Pillow's .load()
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max (below 1.0: we are faster), and
# each side's peak memory.
#
# usage: bench/png.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time pngtopnm; do
  command -v "$tool" >/dev/null || { echo "bench/png.sh: $tool is missing" >&2; exit 1; }
done
"$python" -c 'import PIL' 2>/dev/null || { echo "bench/png.sh: Pillow is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-png-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
picture=$work/in.png
echo "== corpus: 3000x2000 RGB PNG in $work"
"$convert" -seed 5 -size 1500x1000 plasma:fractal -resize 3000x2000! -depth 8 -type truecolor PNG24:"$picture"
ls -l "$picture" | awk '{printf "%.1f MB\n", $5 / 1e6}'

. bench/timing.sh

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
ours="$cli decode $picture /dev/null"
paired "vs pngtopnm" "$ours" "bash -c 'pngtopnm $picture >/dev/null'"
paired "vs ImageMagick" "$ours" "$convert $picture pam:/dev/null"
paired "vs Pillow (process)" "$ours" "$python -c \"import sys; from PIL import Image; Image.open(sys.argv[1]).load()\" $picture"
paired "vs Pillow load() in process" "$ours" "pillow-load $picture"
