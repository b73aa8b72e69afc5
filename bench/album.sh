#!/usr/bin/env bash
# Album building and opening, against established tools in the same run:
#   fotrix-cli album create --size 3 of 50 pictures of 12 MP (4000 x 3000)
#     vs  per picture djpeg -scale 1/4 | cjpeg -quality 80, then zip -6 of the
#         re-encoded pictures (the same work done by the usual tools: a
#         scaled decode, an encode, and the archive)
#   first slide: fotrix opening the 50-picture album, to its first painted
#     frame with the first slide on screen (FOTRIX_TRACE_FIRST_FRAME), beside
#     its start on an empty folder
# Prints mean times and the ratio ours/theirs (below 1.0: ours is faster).
#
# usage: bench/album.sh [path/to/fotrix-cli]   (fotrix is found beside it in app/)
#        RUNS=3 sets the number of timed rounds.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
build=$(dirname "$(dirname "$cli")")
fotrix=$build/app/fotrix
runs=${RUNS:-3}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" "$fotrix" zip djpeg cjpeg "$python" "$convert"; do
  command -v "$tool" >/dev/null || { echo "bench/album.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-album-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/timing.sh
mkdir -p "$work/pictures" "$work/theirs" "$work/empty" "$work/config" "$work/run"

echo "== 50 pictures of 4000 x 3000 in $work"
"$convert" -seed 5 -size 1000x750 plasma:fractal -resize 4000x3000 -quality 90 "$work/base.jpg"
for i in $(seq -w 0 49); do
  "$convert" "$work/base.jpg" -modulate 100,100,$((10#$i * 4)) -quality 90 "$work/pictures/photo$i.jpg"
done
du -sb "$work/pictures" | awk '{printf "corpus: %.1f MB\n", $1 / 1e6}'

theirs() {
  local n=0
  for picture in "$work"/pictures/*.jpg; do
    djpeg -scale 1/4 "$picture" | cjpeg -quality 80 >"$work/theirs/$(printf %04d $n)"
    n=$((n + 1))
  done
  rm -f "$work/theirs.zip"
  (cd "$work/theirs" && zip -q -6 "$work/theirs.zip" ./*)
}
export -f theirs
export work

echo "== building ($runs runs each)"
pictures=$(echo "$work"/pictures/*.jpg)  # expanded here: hyperfine runs commands without a shell
ours=$(mean "$cli album create $work/ours.alb $pictures --size 3")
theirs_time=$(mean "bash -c theirs")
unzip -tq "$work/ours.alb" >/dev/null || { echo "unzip -t rejects our album" >&2; exit 1; }
printf '%-44s %8.3f s\n' "fotrix-cli album create --size 3" "$ours"
printf '%-44s %8.3f s\n' "djpeg -scale 1/4 | cjpeg, then zip -6" "$theirs_time"
echo "ratio build / tools: $(ratio "$ours" "$theirs_time")   (goal: at most 1.10)"

echo "== first slide of the 50-picture album"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"UseSplashScreen"=dword:00000000\n' \
  >"$work/config/user.reg"
echo quit >"$work/quit.txt"
export FOTRIX_CONFIG_DIR=$work/config FOTRIX_HOME=$work/empty XDG_RUNTIME_DIR=$work/run
first_frame() {
  for _ in $(seq $((runs * 3))); do
    FOTRIX_TRACE_FIRST_FRAME=1 "$fotrix" --headless --script "$work/quit.txt" "$1" 2>&1 >/dev/null |
      sed -n 's/^fotrix: first frame after \([0-9]*\) ms$/\1/p'
  done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
album=$(first_frame "$work/ours.alb")
empty=$(first_frame "$work/empty/")
echo "first frame (median, from the process's start): album $album ms, empty folder $empty ms"
echo "first slide after the start: $((album - empty)) ms   (goal: within 100 ms)"
