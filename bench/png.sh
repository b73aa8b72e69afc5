#!/usr/bin/env bash
# PNG decoding against libpng-based tools and Pillow, in the same run, on a
# 3000x2000 RGB picture made by ImageMagick at run time:
#   fotrix-cli decode   vs  pngtopnm (netpbm over libpng)   vs  ImageMagick
#   (libpng)   vs  Pillow's .load()
# Prints mean seconds, peak memory (kB, /usr/bin/time -f %M) and the ratios
# ours/theirs (below 1.0: we are faster or smaller), also against the
# fastest of them.
#
# usage: bench/png.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed runs per command.
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

declare -A commands=(
  [ours]="$cli decode $picture /dev/null"
  [pngtopnm]="bash -c 'pngtopnm $picture >/dev/null'"
  [magick]="$convert $picture pam:/dev/null"
  [pillow]="$python -c \"import sys; from PIL import Image; Image.open(sys.argv[1]).load()\" $picture"
)

echo "== timing ($runs runs each) and peak memory"
printf '%-10s %10s %10s %10s\n' command seconds cpu-s peak-kB
declare -A seconds cpus memory
fastest=
for name in ours pngtopnm magick pillow; do
  seconds[$name]=$(mean "${commands[$name]}")
  cpus[$name]=$(cpu)
  memory[$name]=$(peak "${commands[$name]}")
  printf '%-10s %10s %10s %10s\n' "$name" "${seconds[$name]}" "${cpus[$name]}" "${memory[$name]}"
  if [ "$name" != ours ]; then
    if [ -z "$fastest" ] || "$python" -c "import sys; sys.exit(not float(sys.argv[1]) < float(sys.argv[2]))" \
      "${seconds[$name]}" "${seconds[$fastest]}"; then fastest=$name; fi
  fi
done

echo "== ratios ours/theirs (wall time; processor time; peak memory)"
for theirs in pngtopnm magick pillow; do
  printf 'ours vs %-9s time %s   cpu %s   memory %s\n' "$theirs" "$(ratio "${seconds[ours]}" "${seconds[$theirs]}")" \
    "$(ratio "${cpus[ours]}" "${cpus[$theirs]}")" "$(ratio "${memory[ours]}" "${memory[$theirs]}")"
done
printf 'ours vs the fastest (%s): time %s   cpu %s\n' "$fastest" "$(ratio "${seconds[ours]}" "${seconds[$fastest]}")" \
  "$(ratio "${cpus[ours]}" "${cpus[$fastest]}")"
