#!/usr/bin/env bash
# Folder and batch runs over many pictures in one process, one thread against several: a
# folder of 10,000 numbered pictures (rows 1..1000, columns 0..9, make_bench_data.py) and a
# batch of 40 sub-folders of 100 (rows and columns 0..9), each run with --jobs 1 and --jobs N
# in turns; every result file and the report must be the same bytes. Prints images per second
# by the wall clock and the ratio.
# Usage: bench/folder_jobs.sh [path/to/morvik] [jobs (2)] [rounds (3)]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
morvik=$(realpath "${1:-$top/build/morvik}")
jobs=${2:-2}
rounds=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MORVIK_HOME=$work/home  # no real settings are read or written
mkdir -p "$MORVIK_HOME"

python3 "$top/bench/make_bench_data.py" "$work/data" 1000 >/dev/null
cd "$work/data"
"$morvik" --learn learn --save pics/default >/dev/null
mkdir batch
for k in $(seq -w 1 40); do
  mkdir "batch/s$k"
  for r in $(seq 0 9); do
    for c in $(seq 0 9); do ln "pics/$(((10#$k * 10 + r) % 1000 + 1))_$c.bmp" "batch/s$k/${r}_$c.bmp"; done
  done
done
cp charmap.txt batch/compare.txt
cp pics/default.* batch/

# Seconds of wall clock for one run of `what` (folder or batch) with j jobs; its result
# files and report kept in $work/out-<what>-<j>.
run() {
  local what=$1 j=$2 start end
  local args=(pics --charmap charmap.txt)
  [ "$what" = batch ] && args=(batch --batch --charmap charmap.txt)
  start=$(date +%s.%N)
  "$morvik" "${args[@]}" --jobs "$j" --report "$work/report" >/dev/null 2>&1
  end=$(date +%s.%N)
  mkdir -p "$work/out-$what-$j"
  (find "${args[0]}" -name 'result.*' -o -name 'batchresult.*' | sort | xargs cat) \
    >"$work/out-$what-$j/results"
  cp "$work/report" "$work/out-$what-$j/report"
  echo "$end - $start" | bc
}
for what in folder batch; do
  images=10000
  [ "$what" = batch ] && images=4000
  one=0 many=0
  for _ in $(seq "$rounds"); do
    one=$(echo "$one + $(run "$what" 1)" | bc)
    many=$(echo "$many + $(run "$what" "$jobs")" | bc)
  done
  diff -r "$work/out-$what-1" "$work/out-$what-$jobs" >/dev/null ||
    { echo "folder_jobs: the $what outputs differ" >&2; exit 1; }
  total=$((images * rounds))
  printf '%s: %d pictures x %d rounds in one process, identical files\n' "$what" "$images" "$rounds"
  printf -- '  --jobs 1: %.0f pictures/s\n' "$(echo "$total / $one" | bc -l)"
  printf -- '  --jobs %d: %.0f pictures/s\n' "$jobs" "$(echo "$total / $many" | bc -l)"
  printf '  ratio: %.2fx (target 1.6x with 2 jobs on 2 cores)\n' "$(echo "$one / $many" | bc -l)"
done
# Wall-clock ratios only mean something on a machine with cores to spare.
echo "load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
