#!/usr/bin/env bash
# End-to-end timing of the command line on one core: recognising a folder of 1000 64 x 64
# 8-bit BMPs (fixed names 1_0 .. 100_9) against 36 learned references, start-up included.
# Usage: bench/cli_bench.sh [path/to/morvik] [rows]   (default build/morvik, 100 rows)
# Uses hyperfine when installed (apt-get install hyperfine), else bash's time over 10 runs.
# Prints images per second and compares it with the target of 5000.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
morvik=$(realpath "${1:-$top/build/morvik}")
rows=${2:-100}
images=$((rows * 10))
target=5000
core=${BENCH_CORE:-0}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/bench/make_bench_data.py" "$work" "$rows"
cd "$work"
mkdir home
export MORVIK_HOME=$work/home  # no real settings are read or written

# The 36 references, saved as the folder's default set; charmap.txt of the start folder.
"$morvik" --learn learn --save pics/default
"$morvik" pics
lines=$(grep -c . pics/result.out || true)
[ "$lines" -eq "$rows" ] || { echo "cli_bench: expected $rows result lines, got $lines" >&2; exit 1; }

run="taskset -c $core $morvik pics"
if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 2 --runs 15 --export-json "$work/timing.json" "$run" >&2
  seconds=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' \
    "$work/timing.json")
else
  TIMEFORMAT=%R
  $run >/dev/null  # warm-up
  seconds=$( { for _ in 1 2 3 4 5 6 7 8 9 10; do time $run; done; } 2>&1 | sort -n | sed -n 5p)
fi
rate=$(python3 -c "print(int($images / $seconds))")
printf 'cli_bench: %d images in %.1f ms on core %s: %d images/s (target %d)\n' \
  "$images" "$(python3 -c "print($seconds * 1000)")" "$core" "$rate" "$target"
if [ "$rate" -lt "$target" ]; then echo "cli_bench: below target"; fi
