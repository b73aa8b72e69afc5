# Timing helpers shared by the bench scripts; sourced after they set
# $python, $runs and $work.
#   mean CMD      mean seconds of CMD over $runs runs (hyperfine, else a timed loop)
#   cpu           user + system seconds of the last mean's runs (hyperfine only)
#   peak CMD      peak resident memory of CMD in kB
#   ratio A B     A / B with two decimals

mean() {
  local command=$1
  if command -v hyperfine >/dev/null; then
    hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/h.json" "$command" >/dev/null 2>&1 ||
      { echo "failed: $command" >&2; exit 1; }
    "$python" -c 'import json,sys; print("%.4f" % json.load(open(sys.argv[1]))["results"][0]["mean"])' "$work/h.json"
  else
    bash -c "$command" >/dev/null 2>&1
    local start end
    start=$(date +%s.%N)
    for _ in $(seq "$runs"); do bash -c "$command" >/dev/null 2>&1; done
    end=$(date +%s.%N)
    "$python" -c "import sys; print('%.4f' % ((float(sys.argv[2]) - float(sys.argv[1])) / int(sys.argv[3])))" "$start" "$end" "$runs"
  fi
}
cpu() {
  "$python" -c 'import json,sys; r = json.load(open(sys.argv[1]))["results"][0]; print("%.4f" % (r["user"] + r["system"]))' "$work/h.json"
}
peak() { /usr/bin/time -f %M bash -c "exec $1" 2>&1 >/dev/null | tail -1; }
ratio() { "$python" -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }
