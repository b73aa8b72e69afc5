#!/usr/bin/env bash
# Thumbnails of 200 JPEGs of 3 megapixels (2048x1536) into the browser's
# default cell (60x60), on one core, through fotrix-cli thumbnail (the
# browser's own loading code), beside vipsthumbnail and a Pillow
# draft+thumbnail loop in the same run. Each tool writes a PNG per picture.
#   ours, no cache       decoding only
#   ours, cold cache     decoding and writing the disk cache
#   ours, warm cache     every thumbnail read back from the disk cache
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max (below 1.0: we are faster), and
# each side's medians (seconds for all 200) and peak memory.
#
# usage: bench/thumbnails.sh [path/to/fotrix-cli]    RUNS=5 sets the timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
for tool in "$cli" "$python" /usr/bin/convert /usr/bin/vipsthumbnail; do
  command -v "$tool" >/dev/null || { echo "bench/thumbnails.sh: $tool is missing" >&2; exit 1; }
done
"$python" -c 'import PIL' || { echo "bench/thumbnails.sh: Pillow is missing" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-thumbnail-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/timing.sh

mkdir -p "$work/pictures" "$work/out-ours" "$work/out-vips" "$work/out-pil"
for seed in 1 2 3 4; do
  /usr/bin/convert -size 2048x1536 plasma:fractal -seed "$seed" -quality 90 "$work/base-$seed.jpg"
done
for i in $(seq -w 1 200); do cp "$work/base-$(( (10#$i % 4) + 1 )).jpg" "$work/pictures/p$i.jpg"; done
# The cache keeps thumbnails only of files that are not being written just now.
touch -d '2020-01-01 12:00' "$work/pictures"/*.jpg
files=$(ls "$work"/pictures/*.jpg | tr '\n' ' ')
cat > "$work/pil.py" <<'PY'
import os, sys
from PIL import Image
out = sys.argv[1]
for path in sys.argv[2:]:
    with Image.open(path) as im:
        im.draft('RGB', (60, 60))
        im.thumbnail((60, 60))
        im.save(os.path.join(out, os.path.basename(path)[:-4] + '.png'))
PY

export FOTRIX_CONFIG_DIR=$work/config VIPS_CONCURRENCY=1
# Our files are written through a flushed temporary (the cache's and the
# output's), so on a busy disk the wall time waits for fsync while the
# processor time does not.
nocache="$cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1 --no-cache"
cold="bash -c 'rm -rf $work/config; exec $cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1'"
warm="$cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1"
vips="/usr/bin/vipsthumbnail -s 60x60 -o $work/out-vips/%s.png $files"
pil="$python $work/pil.py $work/out-pil $files"

echo "== 200 thumbnails of 2048x1536 JPEGs into 60x60, one core; ours / theirs, $runs alternating pairs"
paired "no cache vs vipsthumbnail" "$nocache" "$vips"
paired "no cache vs Pillow" "$nocache" "$pil"
paired "cold cache vs vipsthumbnail" "$cold" "$vips"
"$cli" thumbnail $files --box 60x60 --out "$work/out-ours" --jobs 1 >/dev/null
paired "warm cache vs vipsthumbnail" "$warm" "$vips"
