#!/usr/bin/env bash
# Thumbnails of 200 JPEGs of 3 megapixels (2048x1536) into the browser's
# default cell (60x60), on one core, through fotrix-cli thumbnail (the
# browser's own loading code), beside vipsthumbnail and a Pillow
# draft+thumbnail loop in the same run. Each tool writes a PNG per picture.
#   ours, no cache       decoding only
#   ours, cold cache     decoding and writing the disk cache
#   ours, warm cache     every thumbnail read back from the disk cache
# Prints thumbnails per second and the ratios of the times (ours / theirs:
# below 1 is faster).
#
# usage: bench/thumbnails.sh [path/to/fotrix-cli]    RUNS=5 sets the timed runs.
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
# Wall time and processor time (user + system) of each; our files are
# written through a flushed temporary (the cache's and the output's), so on
# a busy disk the wall time waits for fsync while the processor time does not.
ours_nocache=$(mean "$cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1 --no-cache"); c_nocache=$(cpu)
ours_cold=$(mean "bash -c 'rm -rf $work/config; exec $cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1'")
c_cold=$(cpu)
"$cli" thumbnail $files --box 60x60 --out "$work/out-ours" --jobs 1
ours_warm=$(mean "$cli thumbnail $files --box 60x60 --out $work/out-ours --jobs 1"); c_warm=$(cpu)
vips=$(mean "/usr/bin/vipsthumbnail -s 60x60 -o $work/out-vips/%s.png $files"); c_vips=$(cpu)
pil=$(mean "$python $work/pil.py $work/out-pil $files"); c_pil=$(cpu)

rate() { "$python" -c "import sys; print('%.0f' % (200 / float(sys.argv[1])))" "$1"; }
echo "== 200 thumbnails of 2048x1536 JPEGs into 60x60, one core, mean of $runs runs"
printf '%-24s %10s %10s %10s %10s\n' "" "wall /s" "wall s" "cpu /s" "cpu s"
row() { printf '%-24s %10s %10.3f %10s %10.3f\n' "$1" "$(rate "$2")" "$2" "$(rate "$3")" "$3"; }
row "ours, no cache" "$ours_nocache" "$c_nocache"
row "ours, cold cache" "$ours_cold" "$c_cold"
row "ours, warm cache" "$ours_warm" "$c_warm"
row "vipsthumbnail" "$vips" "$c_vips"
row "Pillow draft+thumbnail" "$pil" "$c_pil"
echo "ratios of wall (cpu) times, ours / theirs:"
echo "  cold / vipsthumbnail:     $(ratio "$ours_cold" "$vips") ($(ratio "$c_cold" "$c_vips"))"
echo "  cold / Pillow:            $(ratio "$ours_cold" "$pil") ($(ratio "$c_cold" "$c_pil"))"
echo "  no cache / vipsthumbnail: $(ratio "$ours_nocache" "$vips") ($(ratio "$c_nocache" "$c_vips"))"
echo "  no cache / Pillow:        $(ratio "$ours_nocache" "$pil") ($(ratio "$c_nocache" "$c_pil"))"
echo "  warm / vipsthumbnail:     $(ratio "$ours_warm" "$vips") ($(ratio "$c_warm" "$c_vips"))"
echo "  warm / Pillow:            $(ratio "$ours_warm" "$pil") ($(ratio "$c_warm" "$c_pil"))"
