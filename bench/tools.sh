#!/usr/bin/env bash
# The picture tools against established tools, in the same run:
#   resize: COUNT JPEGs of 12 MP (4000 x 3000) to 1024 x 768 JPEG by fotrix's
#     Resize tool (Apply to all, driven by a script), vipsthumbnail and
#     ImageMagick's mogrify;
#   lossless rotation: one 24 MP JPEG (6000 x 4000) turned by fotrix's Rotate
#     tool (lossless, one file) and by jpegtran -rotate 90 -copy all.
# fotrix's runs include its start, the folder listing and the sheet's
# preview; the "opened and cancelled" rows pair a run that opens the same
# sheet and cancels it with the same tool, so that the difference of the two
# ratios is the work itself. Each pair runs alternately; prints the median
# ratios of processor and wall time with min and max (above 1.0: fotrix is
# slower).
#
# usage: bench/tools.sh [path/to/fotrix]   COUNT=50 RUNS=3 (timed pairs) by default.
set -euo pipefail
cd "$(dirname "$0")/.."
fotrix=$(realpath "${1:-build/app/fotrix}")
count=${COUNT:-50}
runs=${RUNS:-3}
python=/usr/bin/python3
for tool in "$fotrix" "$python" /usr/bin/convert vipsthumbnail mogrify jpegtran; do
  command -v "$tool" >/dev/null || { echo "bench/tools.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-tools-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/timing.sh

mkdir -p "$work/config" "$work/home" "$work/pics" "$work/big" "$work/out"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"UseSplashScreen"=dword:00000000\n' \
  >"$work/config/user.reg"
export FOTRIX_CONFIG_DIR=$work/config FOTRIX_HOME=$work/home XDG_RUNTIME_DIR=$work
convert -size 4000x3000 plasma:fractal -quality 90 "$work/pics/p0.jpg"
for i in $(seq 1 $((count - 1))); do cp "$work/pics/p0.jpg" "$work/pics/p$i.jpg"; done
convert -size 6000x4000 plasma:fractal -quality 90 "$work/big/big.jpg"

script() { printf '%b' "$2" >"$work/$1.txt"; }
script resize 'command 4048\ncommand 4052\ndialog-select 1030 8\ndialog-command 1028\nquit\n'
script rotate 'command 4048\ncommand 4140\ndialog-check 1057 1\ndialog-command 1060\ndialog-command 1080\nquit\n'
script resize-open 'command 4048\ncommand 4052\ndialog-command 2\nquit\n'
script rotate-open 'command 4048\ncommand 4140\ndialog-command 2\nquit\n'
run() { echo "rm -f $work/$2/*_m.jpg; $fotrix --headless --script $work/$1.txt $work/$2/"; }

echo "== ours / theirs, $runs alternating pairs each (A: fotrix, B: theirs)"
paired "resize $count x 12 MP vs vipsthumbnail" "bash -c '$(run resize pics)'" \
  "bash -c 'vipsthumbnail $work/pics/*.jpg -s 1024x768 -o $work/out/%s_v.jpg'"
paired "resize $count x 12 MP vs mogrify" "bash -c '$(run resize pics)'" \
  "bash -c 'mogrify -path $work/out -resize 1024x768 $work/pics/*.jpg'"
paired "resize: the sheet opened and cancelled" "bash -c '$(run resize-open pics)'" \
  "bash -c 'vipsthumbnail $work/pics/*.jpg -s 1024x768 -o $work/out/%s_v.jpg'"
paired "rotate 24 MP vs jpegtran" "bash -c '$(run rotate big)'" \
  "jpegtran -rotate 90 -copy all -outfile $work/out/j.jpg $work/big/big.jpg"
paired "rotate: the sheet opened and cancelled" "bash -c '$(run rotate-open big)'" \
  "jpegtran -rotate 90 -copy all -outfile $work/out/j.jpg $work/big/big.jpg"
