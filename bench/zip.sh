#!/usr/bin/env bash
# Zip speed against Info-ZIP on a ~100 MB mixed corpus, in the same run:
#   fotrix-cli zip create   vs  zip -6 -r
#   fotrix-cli zip extract  vs  unzip        (both on the same archive)
# Prints mean times and the ratios ours/theirs (below 1.0: we are faster).
#
# usage: bench/zip.sh [path/to/fotrix-cli]   (default build/cli/fotrix-cli)
#        RUNS=5 keeps the number of timed runs per command.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/fotrix-cli}")
runs=${RUNS:-5}
python=/usr/bin/python3
convert=/usr/bin/convert
for tool in "$cli" zip unzip "$python" "$convert"; do
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

# Mean seconds of a command over $runs runs (after one warm-up), via hyperfine
# when it is there, else bash's own clock.
mean() {
  local prepare=$1 command=$2
  if command -v hyperfine >/dev/null; then
    hyperfine -N --style none --warmup 1 --runs "$runs" --prepare "$prepare" \
      --export-json "$work/h.json" "$command" >/dev/null 2>&1 || { echo "failed: $command" >&2; exit 1; }
    "$python" -c 'import json,sys; print("%.3f" % json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/h.json"
  else
    local total=0 start end
    bash -c "$prepare"; bash -c "$command" >/dev/null
    for _ in $(seq "$runs"); do
      bash -c "$prepare"
      start=$(date +%s.%N); bash -c "$command" >/dev/null; end=$(date +%s.%N)
      total=$(echo "$total + $end - $start" | bc -l)
    done
    echo "scale=3; $total / $runs" | bc -l
  fi
}

ratio() { "$python" -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }

echo "== timing ($runs runs each)"
ours_create=$(mean "rm -f $work/ours.zip" "$cli zip create $work/ours.zip $corpus")
theirs_create=$(mean "rm -f $work/z.zip" "zip -q -6 -r $work/z.zip corpus")
ours_extract=$(mean "rm -rf $work/out1" "$cli zip extract $work/theirs.zip $work/out1")
theirs_extract=$(mean "rm -rf $work/out2" "unzip -q -o $work/theirs.zip -d $work/out2")

# The archives must agree with the corpus and with each other's readers.
unzip -tq ours.zip >/dev/null || { echo "unzip -t rejects ours.zip" >&2; exit 1; }
diff -r corpus out1/corpus >/dev/null || { echo "our extraction differs from the corpus" >&2; exit 1; }

ours_size=$(stat -c %s ours.zip)
theirs_size=$(stat -c %s z.zip)
printf '%-28s %10s %10s %8s\n' "" "ours" "theirs" "ratio"
printf '%-28s %9ss %9ss %8s\n' "create (vs zip -6 -r)" "$ours_create" "$theirs_create" "$(ratio "$ours_create" "$theirs_create")"
printf '%-28s %9ss %9ss %8s\n' "extract (vs unzip)" "$ours_extract" "$theirs_extract" "$(ratio "$ours_extract" "$theirs_extract")"
printf '%-28s %10s %10s %8s\n' "archive size (bytes)" "$ours_size" "$theirs_size" "$(ratio "$ours_size" "$theirs_size")"
