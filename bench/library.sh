#!/usr/bin/env bash
# The image library's everyday paths against the plainest established tool
# for each, in the same run, on pictures made at run time from one
# plasma:fractal (6000x4000, and 3000x2000 from it; JPEGs by cjpeg at
# quality 90 with 4:2:0 chroma):
#   jpeg-decode   fotrix-cli decode JPEG -> PAM    vs  djpeg -> PPM        (both sizes)
#   bmp-decode    fotrix-cli decode 6 MP BMP       vs  cp of the same file (both write a file)
#   png-decode    fotrix-cli decode 6 MP PNG       vs  Pillow open + load() in process
#   gif-decode    fotrix-cli decode 1000x1000 GIF  vs  Pillow open + load() in process
#   jpeg-encode   fotrix-cli convert PPM -> q80    vs  cjpeg -quality 80
#   start-up      fotrix-cli info of a 1x1 BMP     vs  djpeg of an 8x8 JPEG
# Every output goes to /dev/null, but for the BMP row, where both sides write
# a file of the picture's size. Each pair runs alternately; prints the
# median ratios ours/theirs of processor and wall time with min and max
# (below 1.0: we are faster) and each side's medians and peak memory; the
# goal of each row stands in its label.
#
# usage: bench/library.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=9 sets the number of timed pairs (start-up: four times as many).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-9}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time cjpeg djpeg; do
  command -v "$tool" >/dev/null || { echo "bench/library.sh: $tool is missing" >&2; exit 1; }
done
"$python" -c 'import PIL' 2>/dev/null || { echo "bench/library.sh: Pillow is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-library-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "== corpus in $work"
"$convert" -seed 5 -size 1500x1000 plasma:fractal -resize 6000x4000! -depth 8 -type truecolor "$work/big.ppm"
"$convert" "$work/big.ppm" -resize 3000x2000! "$work/medium.ppm"
cjpeg -quality 90 -sample 2x2 -outfile "$work/big.jpg" "$work/big.ppm"
cjpeg -quality 90 -sample 2x2 -outfile "$work/medium.jpg" "$work/medium.ppm"
"$convert" "$work/medium.ppm" -type truecolor BMP3:"$work/medium.bmp"
"$convert" "$work/medium.ppm" -type truecolor PNG24:"$work/medium.png"
"$convert" "$work/medium.ppm" -resize 1000x1000! +dither -colors 256 "$work/small.gif"
"$convert" -size 1x1 xc:gray -type truecolor BMP3:"$work/tiny.bmp"
"$convert" -size 8x8 xc:gray "$work/tiny.ppm"
cjpeg -outfile "$work/tiny.jpg" "$work/tiny.ppm"
rm "$work/big.ppm"
ls -l "$work" | awk 'NR > 1 {printf "%-12s %10d bytes\n", $9, $5}'

. bench/timing.sh

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
paired "jpeg-decode 3000x2000 vs djpeg (goal cpu <= 1.0, peak < 4 MB)" \
  "$cli decode $work/medium.jpg /dev/null" "djpeg -outfile /dev/null $work/medium.jpg"
paired "jpeg-decode 6000x4000 vs djpeg" \
  "$cli decode $work/big.jpg /dev/null" "djpeg -outfile /dev/null $work/big.jpg"
paired "bmp-decode 3000x2000 vs cp (goal cpu <= 1.3)" \
  "$cli decode $work/medium.bmp $work/out.pam" "cp $work/medium.bmp $work/copy.bmp"
paired "png-decode 3000x2000 vs Pillow (goal cpu <= 0.9)" \
  "$cli decode $work/medium.png /dev/null" "pillow-load $work/medium.png"
paired "gif-decode 1000x1000 vs Pillow (goal cpu <= 1.0)" \
  "$cli decode $work/small.gif /dev/null" "pillow-load $work/small.gif"
paired "jpeg-encode q80 3000x2000 vs cjpeg (goal cpu <= 1.0)" \
  "$cli convert $work/medium.ppm /dev/null --format jpeg --quality 80" \
  "cjpeg -quality 80 -outfile /dev/null $work/medium.ppm"
runs=$((runs * 4)) paired "start-up: info 1x1 BMP vs djpeg 8x8 (goal cpu <= 1.0)" \
  "$cli info $work/tiny.bmp" "djpeg -outfile /dev/null $work/tiny.jpg"
