#!/usr/bin/env bash
# Speed of `morvik --read` over many pictures in one process, one thread against several:
# 300 pictures of lines and blocks of text (build/make_text_pictures' 120, each taken again
# under other names), read with --jobs 1 and --jobs N in turns; the outputs must be the same
# bytes. Prints pictures per second by the wall clock and the ratio.
# Usage: bench/read_jobs.sh [build dir] [jobs (2)] [rounds (3)] [morvik --read options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
jobs=${2:-2}
rounds=${3:-3}
shift $(($# < 3 ? $# : 3))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$top/bench/text_fonts.sh"
"$build/make_text_pictures" "$work/made" "${text_fonts[@]}" >/dev/null
mkdir "$work/pics"
n=0
while [ "$n" -lt 300 ]; do
  for p in "$work"/made/*.pgm; do
    [ "$n" -lt 300 ] || break
    cp "$p" "$work/pics/$(printf %03d "$n")-$(basename "$p")"
    n=$((n + 1))
  done
done
pictures=("$work"/pics/*.pgm)
# Seconds of wall clock for one run, its output kept in $work/out-<jobs>.
run() {
  local j=$1 start end
  shift
  start=$(date +%s.%N)
  "$build/morvik" --read --jobs "$j" "$@" "${pictures[@]}" >"$work/out-$j" 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
one=0 many=0
for _ in $(seq "$rounds"); do
  one=$(echo "$one + $(run 1 "$@")" | bc)
  many=$(echo "$many + $(run "$jobs" "$@")" | bc)
done
cmp -s "$work/out-1" "$work/out-$jobs" || { echo "read_jobs: the outputs differ" >&2; exit 1; }
total=$((${#pictures[@]} * rounds))
printf '%d pictures x %d rounds in one process, identical output\n' "${#pictures[@]}" "$rounds"
printf -- '--jobs 1: %.1f pictures/s\n' "$(echo "$total / $one" | bc -l)"
printf -- '--jobs %d: %.1f pictures/s\n' "$jobs" "$(echo "$total / $many" | bc -l)"
printf 'ratio: %.2fx (target 1.6x with 2 jobs on 2 cores)\n' "$(echo "$one / $many" | bc -l)"
