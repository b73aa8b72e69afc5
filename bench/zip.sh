#!/usr/bin/env bash
# Zip speed against Info-ZIP on a ~100 MB mixed corpus, in the same run:
#   fotrix-cli zip create   vs  zip -6 -r
#   fotrix-cli zip extract  vs  unzip        (both on the same archive)
# Prints mean times, peak memory and the ratios ours/theirs (below 1.0: ours
# is faster or smaller).
#
# usage: bench/zip.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed rounds.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" zip unzip "$python" "$convert" /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "bench/zip.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fotrix-zip-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
corpus=$work/corpus
mkdir -p "$corpus/text" "$corpus/random" "$corpus/pictures"

echo "== corpus in $work"
# Text: 40 files of 1 MB, words drawn from a small vocabulary (deflates about 3:1).
"$python" - "$corpus/text" <<'EOF'
import random, sys
random.seed(7)
vocabulary = ("album picture slideshow member archive pocket screen stylus folder "
              "thumbnail deflate inflate storage card camera preview rotate resize "
              "colour bright contrast gamma sharpen smooth the a of and to in is").split()
words = vocabulary + [w.capitalize() for w in vocabulary] + [str(n) for n in range(100)]
for i in range(40):
    out, size = [], 0
    while size < 1 << 20:
        line = " ".join(random.choices(words, k=random.randint(4, 14))) + ".\n"
        out.append(line)
        size += len(line)
    with open(f"{sys.argv[1]}/text{i:02}.txt", "w") as f:
        f.write("".join(out)[: 1 << 20])
EOF
# Incompressible bytes: 10 files of 2.5 MB.
for i in $(seq -w 0 9); do head -c 2621440 /dev/urandom >"$corpus/random/random$i.bin"; done
# Already-compressed pictures made with ImageMagick: JPEG variants of one
# plasma picture, noisy JPEGs, and PNGs.
"$convert" -seed 3 -size 1600x1200 plasma:fuchsia-blue "$work/plasma.png"
for i in $(seq -w 0 11); do
  "$convert" "$work/plasma.png" -modulate 100,100,$((10#$i * 15 + 5)) -quality 90 "$corpus/pictures/plasma$i.jpg"
done
for i in 0 1 2; do
  "$convert" -seed $i -size 1200x1000 xc: +noise Random -quality 90 "$corpus/pictures/noise$i.jpg"
done
cp "$work/plasma.png" "$corpus/pictures/plasma0.png"
"$convert" "$work/plasma.png" -flop "$corpus/pictures/plasma1.png"
du -sb "$corpus" | awk '{printf "corpus: %.1f MB in ", $1 / 1e6}'
find "$corpus" -type f | wc -l | awk '{print $1 " files"}'

cd "$work"
zip -q -6 -r theirs.zip corpus  # the archive both extractors read

# Ours and theirs run alternately, round after round, so that a change in the
# machine's load falls on both alike. /usr/bin/time gives seconds and peak memory.
declare -A seconds peak
timed() {  # timed KEY PREPARE COMMAND...
  local key=$1 prepare=$2
  shift 2
  bash -c "$prepare"
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" ||
    { echo "failed: $*" >&2; cat "$work/stderr.txt" >&2; exit 1; }
  read -r s kb <"$work/time.txt"
  seconds[$key]=$(awk -v a="${seconds[$key]:-0}" -v b="$s" 'BEGIN { print a + b }')
  [ "$kb" -gt "${peak[$key]:-0}" ] && peak[$key]=$kb
  return 0
}

echo "== timing ($runs alternating rounds after one warm-up)"
for round in $(seq 0 "$runs"); do
  timed ours_create "rm -f $work/ours.zip" "$cli" zip create "$work/ours.zip" corpus
  timed theirs_create "rm -f $work/z.zip" zip -q -6 -r "$work/z.zip" corpus
  timed ours_extract "rm -rf $work/out1" "$cli" zip extract "$work/theirs.zip" "$work/out1"
  timed theirs_extract "rm -rf $work/out2" unzip -q -o "$work/theirs.zip" -d "$work/out2"
  if [ "$round" -eq 0 ]; then seconds=(); fi  # the warm-up round is not counted
done
. bench/timing.sh  # ratio; mean is this script's own, from its timed loop
mean() { awk -v total="${seconds[$1]}" -v n="$runs" 'BEGIN { printf "%.3f", total / n }'; }
ours_create=$(mean ours_create)
theirs_create=$(mean theirs_create)
ours_extract=$(mean ours_extract)
theirs_extract=$(mean theirs_extract)

# The archives must agree with the corpus and with each other's readers.
unzip -tq ours.zip >/dev/null || { echo "unzip -t rejects ours.zip" >&2; exit 1; }
diff -r corpus out1/corpus >/dev/null || { echo "our extraction differs from the corpus" >&2; exit 1; }

ours_size=$(stat -c %s ours.zip)
theirs_size=$(stat -c %s z.zip)
printf '%-28s %10s %10s %8s\n' "" "ours" "theirs" "ratio"
printf '%-28s %9ss %9ss %8s\n' "create (vs zip -6 -r)" "$ours_create" "$theirs_create" "$(ratio "$ours_create" "$theirs_create")"
printf '%-28s %9ss %9ss %8s\n' "extract (vs unzip)" "$ours_extract" "$theirs_extract" "$(ratio "$ours_extract" "$theirs_extract")"
printf '%-28s %10s %10s %8s\n' "archive size (bytes)" "$ours_size" "$theirs_size" "$(ratio "$ours_size" "$theirs_size")"
printf '%-28s %8sK %8sK %8s\n' "peak memory, create" "${peak[ours_create]}" "${peak[theirs_create]}" "$(ratio "${peak[ours_create]}" "${peak[theirs_create]}")"
printf '%-28s %8sK %8sK %8s\n' "peak memory, extract" "${peak[ours_extract]}" "${peak[theirs_extract]}" "$(ratio "${peak[ours_extract]}" "${peak[theirs_extract]}")"
