#!/usr/bin/env bash
# TIFF decoding against libtiff's tiff2rgba, in the same run, on pictures
# made at run time:
#   3000x2000 RGB, LZW with predictor     fotrix-cli decode   vs  tiff2rgba
#   3000x2000 RGB, Deflate with predictor fotrix-cli decode   vs  tiff2rgba
#   2480x3508 Group 4 fax page            fotrix-cli decode   vs  tiff2rgba
# Both write their result to a file (a PAM for us, an uncompressed RGBA TIFF
# for tiff2rgba). Each pair runs alternately; prints the median ratios
# ours/theirs of processor and wall time with min and max (below 1.0: we are
# faster), and each side's peak memory.
#
# usage: bench/tiff.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$convert" tiffcp tiff2rgba /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench/tiff.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-tiff-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "== corpus in $work"
"$convert" -seed 5 -size 750x500 plasma:fractal -resize 3000x2000! -depth 8 "$work/rgb.ppm"
"$convert" "$work/rgb.ppm" -compress none "$work/rgb.tif"
tiffcp -c lzw:2 "$work/rgb.tif" "$work/lzw.tif"
tiffcp -c zip:2 "$work/rgb.tif" "$work/deflate.tif"
"$convert" -size 2480x3508 xc:white -fill black -font DejaVu-Sans -pointsize 28 \
  -annotate +150+200 "$(printf 'Fotrix Pocket fax page, line %s of body text set in a plain face. %.0s\n' $(seq 1 100))" \
  -depth 1 -type bilevel -define tiff:photometric=min-is-white -compress Group4 "$work/g4.tif"
ls -l "$work"/*.tif | awk '{printf "%-40s %8.1f kB\n", $9, $5 / 1e3}'

. bench/timing.sh

echo "== ours / tiff2rgba, $runs alternating pairs each (A: ours, B: tiff2rgba)"
for name in lzw deflate g4; do
  paired "$name" "$cli decode $work/$name.tif $work/ours.pam" "tiff2rgba -c none $work/$name.tif $work/theirs.tif"
done
