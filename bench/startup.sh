#!/usr/bin/env bash
# Start-up of fotrix to its first painted frame, headless, against the
# platform demo's own start in the same run:
#   fotrix on an empty folder, and on a folder of 1000 pictures (the thumbnails
#   come afterwards: the script's first command runs once the first frame is
#   painted and the queue is empty, and it quits)
#   fotrix-platform-demo --headless --screenshot (its whole start and one frame)
# The whole runs (start, first frame, shutdown) are paired alternately with
# the demo's; prints the median ratios fotrix / demo of processor and wall
# time with min and max (below 1.0: fotrix is faster), and the median time to
# fotrix's first frame as the program itself reports it
# (FOTRIX_TRACE_FIRST_FRAME).
#
# usage: bench/startup.sh [path/to/fotrix-cli]   (the programs are found beside it)
#        RUNS=20 sets the number of timed pairs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
build=$(dirname "$(dirname "$cli")")
fotrix=$build/app/fotrix
demo=$build/demo/fotrix-platform-demo
runs=${RUNS:-20}
python=/usr/bin/python3
for tool in "$fotrix" "$demo" "$python" /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "bench/startup.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-startup-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/timing.sh

mkdir -p "$work/empty" "$work/pictures" "$work/config" "$work/run"
/usr/bin/convert -size 640x480 plasma:fractal -seed 3 -quality 85 "$work/sample.jpg"
for i in $(seq -w 1 1000); do cp "$work/sample.jpg" "$work/pictures/picture-$i.jpg"; done
# The browser, not the start screen, comes first.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"UseSplashScreen"=dword:00000000\n' \
  > "$work/config/user.reg"
echo quit > "$work/quit.txt"
export FOTRIX_CONFIG_DIR=$work/config FOTRIX_HOME=$work/empty XDG_RUNTIME_DIR=$work/run

echo "== start-up to the first frame, headless; fotrix / demo, $runs alternating pairs"
demo_run="$demo --headless --screenshot $work/demo.png"
paired "empty folder vs demo" "$fotrix --headless --script $work/quit.txt $work/empty/" "$demo_run"
paired "1000 pictures vs demo" "$fotrix --headless --script $work/quit.txt $work/pictures/" "$demo_run"
# The program's own figure: the first idle turn after the first frame.
first_frame() {
  for _ in $(seq "$runs"); do
    FOTRIX_TRACE_FIRST_FRAME=1 "$fotrix" --headless --script "$work/quit.txt" "$1" 2>&1 >/dev/null |
      sed -n 's/^fotrix: first frame after \([0-9]*\) ms$/\1/p'
  done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
echo "first frame (median of $runs, from the process's start): empty folder $(first_frame "$work/empty/") ms," \
  "1000 pictures $(first_frame "$work/pictures/") ms"
