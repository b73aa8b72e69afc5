#!/usr/bin/env bash
# The viewer, headless, as the program itself times it (FOTRIX_TRACE_VIEW),
# against djpeg in the same run:
#   opening a 24 MP JPEG into the 240x320 view, from the request to the
#   painted picture, against `djpeg -scale 1/8` of the same file (the whole
#   process, which decodes less: no reduction to the screen, no paint);
#   stepping to the next picture of a folder of 12 MP JPEGs once decode-ahead
#   has it (the script's `idle` waits for it), against the first picture of
#   the folder, which nothing decoded ahead;
#   the drawing of each transition step at 480x640 (a slideshow with
#   transitions), whose budget at 60 frames a second is far above it;
#   peak memory while a 24 MP JPEG is shown at fit size, against the same
#   program showing a 64x48 picture.
#
# usage: bench/viewer.sh [path/to/fotrix-cli]   (fotrix is found beside it)
#        RUNS=10 sets the number of timed runs.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
build=$(dirname "$(dirname "$cli")")
fotrix=$build/app/fotrix
runs=${RUNS:-10}
python=/usr/bin/python3
for tool in "$fotrix" "$python" /usr/bin/convert /usr/bin/djpeg /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench/viewer.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-viewer-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
source bench/timing.sh

mkdir -p "$work/big" "$work/folder" "$work/small" "$work/config" "$work/run" "$work/home"
# Photo-like content: plasma, enlarged (plasma at full size takes minutes).
/usr/bin/convert -size 1500x1000 plasma:fractal -seed 7 -resize 6000x4000! -quality 90 "$work/big/24mp.jpg"
/usr/bin/convert -size 1000x750 plasma:fractal -seed 9 -resize 4000x3000! -quality 90 "$work/12mp.jpg"
for i in 1 2 3 4 5 6 7 8; do cp "$work/12mp.jpg" "$work/folder/picture-$i.jpg"; done
/usr/bin/convert -size 64x48 gradient:red-blue "$work/small/small.jpg"
# No start screen, no turning to the screen, transitions in the slideshow.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Fotrix Pocket\\General]\n"UseSplashScreen"=dword:00000000\n"RotateAuto"=dword:00000000\n"SlideUseTransition"=dword:00000001\n' \
  > "$work/config/user.reg"
export FOTRIX_CONFIG_DIR=$work/config FOTRIX_HOME=$work/home XDG_RUNTIME_DIR=$work/run
echo quit > "$work/quit.txt"
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "nan" }'; }
loads() { sed -n "s/^fotrix: view load \([0-9]*\) us ahead $1\$/\1/p"; }

echo "== open a 24 MP JPEG into the 240x320 view, $runs runs"
open_us=$(for _ in $(seq "$runs"); do
  FOTRIX_TRACE_VIEW=1 "$fotrix" --headless --screen 240x320 --script "$work/quit.txt" "$work/big/24mp.jpg" 2>&1 >/dev/null | loads 0
done | median)
djpeg_s=$(mean "/usr/bin/djpeg -scale 1/8 -outfile /dev/null $work/big/24mp.jpg")
printf '%-44s %8.1f ms\n' "fotrix, request to painted picture" "$("$python" -c "print($open_us/1000)")"
printf '%-44s %8.1f ms\n' "djpeg -scale 1/8 (whole process)" "$("$python" -c "print($djpeg_s*1000)")"
echo "ratio open / djpeg: $(ratio "$("$python" -c "print($open_us/1e6)")" "$djpeg_s")"

echo "== step through 8 pictures of 12 MP"
{ echo idle; for _ in 1 2 3 4 5 6 7; do echo "key RIGHT"; echo idle; done; echo quit; } > "$work/steps.txt"
: > "$work/steps.log"
for _ in $(seq 3); do
  FOTRIX_TRACE_VIEW=1 "$fotrix" --headless --screen 240x320 --script "$work/steps.txt" "$work/folder/picture-1.jpg" \
    2>>"$work/steps.log" >/dev/null
done
ahead_us=$(loads 1 < "$work/steps.log" | median)
cold_us=$(loads 0 < "$work/steps.log" | median)
echo "next picture, decoded ahead: $("$python" -c "print('%.1f' % ($ahead_us/1000))") ms" \
  "(median of $(loads 1 < "$work/steps.log" | wc -l) steps; target under 30 ms)"
echo "first picture, decoded when asked: $("$python" -c "print('%.1f' % ($cold_us/1000))") ms" \
  "(median of $(loads 0 < "$work/steps.log" | wc -l))"

echo "== transition steps at 480x640 (slideshow of the 12 MP folder)"
printf 'idle\ncommand 4019\nwait 30000\nquit\n' > "$work/show.txt"
FOTRIX_TRACE_VIEW=1 "$fotrix" --headless --screen 480x640 --script "$work/show.txt" "$work/folder/" \
  2>"$work/show.log" >/dev/null || true
sed -n 's/^fotrix: transition \([0-9]*\) steps \([0-9]*\) draw mean \([0-9]*\) us max \([0-9]*\) us$/\1 \2 \3 \4/p' \
  "$work/show.log" | sort -k4 -n | awk '{ n++; mean += $3; worst[n] = $4 }
    END { if (n) printf "%d transitions: step drawing mean %.2f ms; worst step of each: median %.2f ms, largest %.2f ms (budget 5 ms)\n",
                        n, mean / n / 1000, worst[int((n + 1) / 2)] / 1000, worst[n] / 1000;
          else print "no transition ran" }'

echo "== peak memory"
big_kb=$(peak "$fotrix --headless --screen 240x320 --script $work/quit.txt $work/big/24mp.jpg")
small_kb=$(peak "$fotrix --headless --screen 240x320 --script $work/quit.txt $work/small/small.jpg")
echo "24 MP JPEG at fit size: $big_kb kB, a 64x48 picture: $small_kb kB;" \
  "the difference (the 24 MP picture's share): $(( (big_kb - small_kb) / 1024 )) MB (target under 10 MB)"
