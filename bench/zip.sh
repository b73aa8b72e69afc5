#!/usr/bin/env bash
# Zip speed against Info-ZIP on a ~100 MB mixed corpus, in the same run:
#   fotrix-cli zip create   vs  zip -6 -r
#   fotrix-cli zip extract  vs  unzip        (both on the same archive)
# Each pair runs alternately; prints the median ratios ours/theirs of
# processor and wall time with min and max, each side's peak memory, and the
# archives' sizes (below 1.0: ours is faster or smaller).
#
# usage: bench/zip.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 sets the number of timed pairs.
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

. bench/timing.sh
cd "$work"
zip -q -6 -r theirs.zip corpus  # the archive both extractors read

echo "== ours / theirs, $runs alternating pairs each (A: ours, B: theirs)"
paired "create vs zip -6 -r" "bash -c 'rm -f ours.zip; exec $cli zip create ours.zip corpus'" \
  "bash -c 'rm -f z.zip; exec zip -q -6 -r z.zip corpus'"
paired "extract vs unzip" "bash -c 'rm -rf out1; exec $cli zip extract theirs.zip out1'" \
  "bash -c 'rm -rf out2; exec unzip -q -o theirs.zip -d out2'"

# The archives must agree with the corpus and with each other's readers.
unzip -tq ours.zip >/dev/null || { echo "unzip -t rejects ours.zip" >&2; exit 1; }
diff -r corpus out1/corpus >/dev/null || { echo "our extraction differs from the corpus" >&2; exit 1; }
printf 'archive size: ours %s bytes, zip -6 %s bytes, ratio %s\n' "$(stat -c %s ours.zip)" "$(stat -c %s z.zip)" \
  "$(ratio "$(stat -c %s ours.zip)" "$(stat -c %s z.zip)")"
