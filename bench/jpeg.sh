#!/usr/bin/env bash
# JPEG decoding against djpeg and vipsthumbnail, in the same run, on
# pictures made by ImageMagick and cjpeg at run time:
#   thumbnail of a 6000x4000 JPEG into a 160x120 box
#     fotrix-cli decode --box 160x120 --options Preview (nearest; and --area)
#     vs vipsthumbnail -s 160x120   vs djpeg -scale 1/8 -fast
#   full decode of a 3000x2000 JPEG: fotrix-cli decode vs djpeg
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max (below 1.0: we are faster), and
# each side's peak memory.
#
# usage: bench/jpeg.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$python" "$convert" /usr/bin/time cjpeg djpeg vipsthumbnail; do
  command -v "$tool" >/dev/null || { echo "bench/jpeg.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-jpeg-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
big=$work/big.jpg
medium=$work/medium.jpg
echo "== corpus in $work"
"$convert" -seed 5 -size 1500x1000 plasma:fractal -resize 6000x4000! "$work/big.ppm"
"$convert" -seed 6 -size 1500x1000 plasma:fractal -resize 3000x2000! "$work/medium.ppm"
cjpeg -quality 90 -outfile "$big" "$work/big.ppm"
cjpeg -quality 90 -outfile "$medium" "$work/medium.ppm"
rm "$work/big.ppm" "$work/medium.ppm"
ls -l "$big" "$medium" | awk '{printf "%s %.1f MB\n", $9, $5 / 1e6}'

. bench/timing.sh

"$cli" decode "$big" "$work/small.pam" --box 160x120 --options Preview | grep -q '^height: 107' ||
  { echo "bench/jpeg.sh: unexpected thumbnail size" >&2; exit 1; }

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
nearest="$cli decode $big /dev/null --box 160x120 --options Preview"
area="$cli decode $big /dev/null --box 160x120 --area --options Preview"
vips="vipsthumbnail -s 160x120 -o $work/vips.jpg $big"
eighth="djpeg -scale 1/8 -fast -outfile /dev/null $big"
paired "thumb nearest vs vipsthumbnail" "$nearest" "$vips"
paired "thumb nearest vs djpeg 1/8" "$nearest" "$eighth"
paired "thumb area vs vipsthumbnail" "$area" "$vips"
paired "thumb area vs djpeg 1/8" "$area" "$eighth"
paired "full 3000x2000 vs djpeg" "$cli decode $medium /dev/null" "djpeg -outfile /dev/null $medium"
echo "(one full 6000x4000 picture: $((6000 * 4000 * 3 / 1024)) kB)"
