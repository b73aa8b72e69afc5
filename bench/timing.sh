# Timing helpers shared by the bench scripts; sourced (by its own path, from
# any folder) after they set $python, $runs and $work. Not a benchmark itself.
#   paired LABEL A B  runs A and B alternately ($runs pairs after one warm-up)
#                     and prints one line: the median ratio A/B of processor
#                     time and of wall time with their min and max, then each
#                     side's medians and peak memory (bench/paired.py; B may be
#                     "pillow-load FILE", Pillow's open + load in process)
#   mean CMD          mean seconds of CMD over $runs runs, for a figure that
#                     has no counterpart to pair with (hyperfine)
#   peak CMD          peak resident memory of CMD in kB
#   ratio A B         A / B with two decimals
bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

paired() {
  "$python" "$bench_dir/paired.py" --runs "$runs" "$@" || { echo "failed: $1" >&2; exit 1; }
}
mean() {
  hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/h.json" "$1" >/dev/null 2>&1 ||
    { echo "failed: $1" >&2; exit 1; }
  "$python" -c 'import json,sys; print("%.4f" % json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/h.json"
}
peak() { /usr/bin/time -f %M bash -c "exec $1" 2>&1 >/dev/null | tail -1; }
ratio() { "$python" -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }
