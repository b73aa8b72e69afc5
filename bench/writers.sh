#!/usr/bin/env bash
# Writers and resizing against established tools, in the same run, on a
# 3000x2000 RGB picture made by ImageMagick at run time (read from PPM by
# every tool, written to /dev/null so that no tool pays for the disk):
#   jpeg     fotrix-cli convert --quality 80     vs  cjpeg -quality 80
#   png      fotrix-cli convert --compression 6  vs  pnmtopng -compression 6, Pillow compress_level 6
#   gif      fotrix-cli convert (median cut 256 + LZW)  vs  convert +dither -colors 256
#   resample fotrix-cli resize 1024x683 (area)   vs  Pillow resize BOX (both write BMP)
#   shrink   fotrix-cli resize --method shrink   vs  Pillow resize BOX
# Our saves replace files atomically (temporary, fsync, rename); the
# jpeg-file row shows that cost on a real file against cjpeg writing one.
# PPM to JPEG and PNG flow row by row (the writer encodes on a second thread
# while the reader reads): the cpu ratio counts both threads' work, and our
# peak memory shows that the picture is never held whole.
# bench/jpeg_encode.cpp (compiled here against the build's library) times
# the JPEG writer alone against the same libjpeg calls made directly.
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max (below 1.0: we are faster), and
# each side's peak memory.
#
# usage: bench/writers.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" cjpeg pnmtopng; do
  command -v "$tool" >/dev/null || { echo "bench/writers.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-writers-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
picture=$work/in.ppm
echo "== corpus: 3000x2000 RGB PPM (plasma with noise) in $work"
"$convert" -seed 7 -size 750x500 plasma:fractal -resize 3000x2000! -attenuate 0.2 +noise Gaussian \
  -type truecolor -depth 8 "$picture"

. bench/timing.sh
pil() { echo "$python -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); $1\" $picture"; }

declare -A commands=(
  [jpeg-ours]="$cli convert $picture /dev/null --format jpeg --quality 80"
  [jpeg-cjpeg]="cjpeg -quality 80 -outfile /dev/null $picture"
  [jpeg-file-ours]="$cli convert $picture $work/out.jpg --quality 80"
  [jpeg-file-cjpeg]="cjpeg -quality 80 -outfile $work/out2.jpg $picture"
  [png-ours]="$cli convert $picture /dev/null --format png --compression 6"
  [png-pnmtopng]="pnmtopng -compression 6 $picture"
  [png-pillow]=$(pil "im.save('/dev/null', 'PNG', compress_level=6)")
  [gif-ours]="$cli convert $picture /dev/null --format gif"
  [gif-magick]="$convert $picture +dither -colors 256 gif:/dev/null"
  [resample-ours]="$cli resize $picture /dev/null --format bmp --size 1024x683"
  [resample-pillow]=$(pil "im.resize((1024, 683), Image.BOX).save('/dev/null', 'BMP')")
  [shrink-ours]="$cli resize $picture /dev/null --format bmp --size 1024x683 --method shrink"
  [shrink-pillow]=$(pil "im.resize((1024, 683), Image.BOX).save('/dev/null', 'BMP')")
)
pairs=(jpeg:cjpeg jpeg-file:cjpeg png:pnmtopng png:pillow gif:magick resample:pillow shrink:pillow)

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
for pair in "${pairs[@]}"; do
  case=${pair%%:*} who=${pair##*:}
  paired "$case vs $who" "${commands[$case-ours]}" "${commands[$case-$who]}"
done
paired "shrink vs resample (both ours)" "${commands[shrink-ours]}" "${commands[resample-ours]}"
echo "(the picture: $(($(stat -c %s "$picture") / 1024)) kB)"

build=$(dirname "$(dirname "$cli")")
if [ -f "$build/imagelib/libfotrix_image.a" ] && [ -f "$build/fileio/libfotrix_fileio.a" ] && command -v c++ >/dev/null; then
  # The image library saves through the file layer's atomic replacement.
  c++ -O2 -std=c++20 -I. bench/jpeg_encode.cpp "$build/imagelib/libfotrix_image.a" "$build/fileio/libfotrix_fileio.a" \
    -ljpeg -lpng -lz -pthread -o "$work/jpeg_encode"
  read -r ours direct < <("$work/jpeg_encode" "$picture" "$((runs * 2))")
  printf '== jpeg writer in process: ours %.3f   libjpeg direct %.3f   ratio %s\n' "$ours" "$direct" \
    "$(ratio "$ours" "$direct")"
fi
