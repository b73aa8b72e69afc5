#!/usr/bin/env bash
# JPEG decoding against djpeg and vipsthumbnail, in the same run, on
# pictures made by ImageMagick and cjpeg at run time:
#   thumbnail of a 6000x4000 JPEG into a 160x120 box
#     fotrix-cli decode --box 160x120 --options Preview (nearest; and --area)
#     vs vipsthumbnail -s 160x120   vs djpeg -scale 1/8 -fast
#   full decode of a 3000x2000 JPEG: fotrix-cli decode vs djpeg
# Prints mean seconds, peak memory (kB, /usr/bin/time -f %M) and the ratios
# ours/theirs (below 1.0: we are faster or smaller).
#
# usage: bench/jpeg.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed runs per command.
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

# Mean wall seconds over $runs runs after one warm-up.
. bench/timing.sh

declare -A commands=(
  [ours-nearest]="$cli decode $big /dev/null --box 160x120 --options Preview"
  [ours-area]="$cli decode $big /dev/null --box 160x120 --area --options Preview"
  [vips-thumb]="vipsthumbnail -s 160x120 -o $work/vips.jpg $big"
  [djpeg-eighth]="djpeg -scale 1/8 -fast -outfile /dev/null $big"
  [ours-full]="$cli decode $medium /dev/null"
  [djpeg-full]="djpeg -outfile /dev/null $medium"
)

"$cli" decode "$big" "$work/small.pam" --box 160x120 --options Preview | grep -q '^height: 107' ||
  { echo "bench/jpeg.sh: unexpected thumbnail size" >&2; exit 1; }

echo "== timing ($runs runs each) and peak memory"
printf '%-14s %10s %10s %10s\n' command seconds cpu-s peak-kB
declare -A seconds cpus memory
for name in ours-nearest ours-area vips-thumb djpeg-eighth ours-full djpeg-full; do
  seconds[$name]=$(mean "${commands[$name]}")
  cpus[$name]=$(cpu)
  memory[$name]=$(peak "${commands[$name]}")
  printf '%-14s %10s %10s %10s\n' "$name" "${seconds[$name]}" "${cpus[$name]}" "${memory[$name]}"
done
full_picture_kb=$((6000 * 4000 * 3 / 1024))

echo "== ratios ours/theirs (wall time; processor time; peak memory)"
for ours in ours-nearest ours-area; do
  for theirs in vips-thumb djpeg-eighth; do
    printf '%-13s vs %-13s time %s   cpu %s   memory %s\n' "$ours" "$theirs" \
      "$(ratio "${seconds[$ours]}" "${seconds[$theirs]}")" "$(ratio "${cpus[$ours]}" "${cpus[$theirs]}")" \
      "$(ratio "${memory[$ours]}" "${memory[$theirs]}")"
  done
  printf '%-13s peak memory / one full 6000x4000 picture (%s kB): %s\n' "$ours" "$full_picture_kb" \
    "$(ratio "${memory[$ours]}" "$full_picture_kb")"
done
printf '%-13s vs %-13s time %s   cpu %s   memory %s\n' ours-full djpeg-full \
  "$(ratio "${seconds[ours-full]}" "${seconds[djpeg-full]}")" "$(ratio "${cpus[ours-full]}" "${cpus[djpeg-full]}")" \
  "$(ratio "${memory[ours-full]}" "${memory[djpeg-full]}")"
