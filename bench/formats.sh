#!/usr/bin/env bash
# WebP, AVIF, HEIF and JPEG XL decoding against each codec's own decoder, in
# the same run, on a 3000x2000 picture made by ImageMagick at run time and
# encoded by the codec's own encoder:
#   fotrix-cli decode (PAM out)   vs  dwebp -pam | avifdec -j 2 (.y4m) |
#   heif-convert (.y4m) | djxl (.ppm)
# The decoders write their cheapest output (YUV where they have it, which
# skips the RGB conversion we do), ours writes PAM. The two commands run
# alternately (bench/paired.py): one line a format with the median ratios
# ours/theirs of processor and wall time, the medians and the peak memory
# (goal: at most 1.1; on a busy machine the processor time tells more).
#
# usage: bench/formats.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of pairs per format, SIZE=WxH the
#        picture (3000x2000).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
size=${SIZE:-3000x2000}
half=$(echo "$size" | awk -Fx '{printf "%dx%d", $1 / 2, $2 / 2}')
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time cwebp dwebp avifenc avifdec heif-enc heif-convert cjxl djxl; do
  command -v "$tool" >/dev/null || { echo "bench/formats.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-formats-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source=$work/in.png
echo "== corpus: $size RGB picture in $work"
"$convert" -seed 5 -size "$half" plasma:fractal -resize "$size"! -depth 8 -type truecolor PNG24:"$source"
cwebp -quiet -q 80 "$source" -o "$work/lossy.webp"
cwebp -quiet -lossless "$source" -o "$work/lossless.webp"
avifenc -j 2 "$source" "$work/in.avif" >/dev/null
heif-enc -q 80 "$source" -o "$work/in.heic" >/dev/null
cjxl --quiet "$source" "$work/in.jxl"
ls -l "$work"/*.webp "$work"/in.avif "$work"/in.heic "$work"/in.jxl | awk '{printf "%-14s %.2f MB\n", $NF, $5 / 1e6}' |
  sed "s|$work/||"

. bench/timing.sh

# name, our command, theirs
rows=(
  "webp-lossy|$cli decode $work/lossy.webp /dev/null|dwebp -quiet $work/lossy.webp -pam -o /dev/null"
  "webp-lossless|$cli decode $work/lossless.webp /dev/null|dwebp -quiet $work/lossless.webp -pam -o /dev/null"
  "avif|$cli decode $work/in.avif /dev/null|avifdec -j 2 $work/in.avif $work/out.y4m"
  "heif|$cli decode $work/in.heic /dev/null|heif-convert $work/in.heic $work/out.y4m"
  "jxl|$cli decode $work/in.jxl /dev/null|djxl $work/in.jxl $work/out.ppm"
)
echo "== paired runs ($runs pairs each), ratios ours/theirs"
for row in "${rows[@]}"; do
  IFS='|' read -r name ours theirs <<<"$row"
  paired "$name" "$ours" "$theirs"
done
