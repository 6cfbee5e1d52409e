#!/usr/bin/env bash
# Folder runs: FOLDERS folders of 36 small pictures (64 x 64, 8-bit BMP), recognised by
# morvik one process per folder, against gocr reading the same pictures converted to PGM
# (netpbm's bmptopnm), one process per picture. Reports images per second of both.
# Target: morvik at least 15x gocr's images per second.
# Usage: bench/folder_bench.sh [path/to/morvik] [folders]   (default build/morvik, 10)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$(dirname "$0")/bench_deps.sh" hyperfine:hyperfine ocrad:ocrad gocr:gocr netpbm:bmptopnm
morvik=$(realpath "${1:-$top/build/morvik}")
folders=${2:-10}
per_folder=36
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export MORVIK_HOME=$work/home  # no real settings are read or written
mkdir -p "$MORVIK_HOME"

# 40 pictures (rows 1..4, columns 0..9); columns 6..9 of row 4 go, leaving 36.
python3 "$top/bench/make_bench_data.py" "$work/data" 4 >/dev/null
rm -f "$work"/data/pics/4_{6,7,8,9}.bmp
cd "$work/data"
"$morvik" --learn learn --save pics/default
for k in $(seq 1 "$folders"); do
  cp -r pics "$work/f$k"
  mkdir -p "$work/pgm$k"
  for b in pics/*.bmp; do bmptopnm "$b" 2>/dev/null >"$work/pgm$k/$(basename "${b%.bmp}").pgm"; done
done
images=$((folders * per_folder))
[ "$(ls "$work"/pgm*/*.pgm | wc -l)" -eq "$images" ]

cat >"$work/morvik.sh" <<SH
for k in \$(seq 1 $folders); do "$morvik" "$work/f\$k" || exit 1; done
SH
cat >"$work/gocr.sh" <<SH
for p in "$work"/pgm*/*.pgm; do gocr "\$p" >/dev/null 2>&1; done
SH
hyperfine -N --warmup 2 --runs 10 --export-json "$work/folders.json" \
  "bash $work/morvik.sh" "bash $work/gocr.sh" >&2
python3 - "$work/folders.json" "$images" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
images = int(sys.argv[2])
rate = [images / r["median"] for r in results]
print(f"folders: morvik {rate[0]:8.0f} images/s ({images} images, one process per folder)")
print(f"folders: gocr   {rate[1]:8.0f} images/s (one process per picture)")
ratio = rate[0] / rate[1]
print(f"folders: morvik is {ratio:.1f}x gocr (target 15x): "
      + ("meets" if ratio >= 15 else "misses") + " the target")
PY
