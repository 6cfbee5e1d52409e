#!/usr/bin/env bash
# The common run of the page and screen benchmarks: installs what is missing, makes the
# pictures into an emptied work folder, then reads them with morvik and the peers.
# Usage (from bench/pages/run.sh and bench/screen/run.sh):
#   bench_run.sh NAME MAKER PACKAGE:COMMAND... -- [BUILD_DIR] [--quick | --full] [--no-peers]
# The work folder is $WORK or BUILD_DIR/NAME; JOBS programs read at once (2).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
name=$1 maker=$2
shift 2
deps=()
while [ "$1" != -- ]; do deps+=("$1"); shift; done
shift
build=$(realpath "${1:-$top/build}")
shift || true
size=() peers=()
for arg in "$@"; do
  case $arg in
    --quick) size=() ;;
    --full) size=(--full) ;;
    --no-peers) peers=(--no-peers) ;;
    *) echo "usage: run.sh [BUILD_DIR] [--quick | --full] [--no-peers]" >&2; exit 2 ;;
  esac
done
[ -x "$build/morvik" ] || { echo "$name: no $build/morvik; build it first" >&2; exit 1; }
"$top/bench/bench_deps.sh" "${deps[@]}"
work=${WORK:-$build/$name}
# Only a folder made here (or an empty one) is emptied.
if [ -n "$(ls -A "$work" 2>/dev/null)" ] && [ ! -e "$work/manifest.json" ]; then
  echo "$name: $work holds other files; set WORK to a new folder" >&2
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"
start=$(date +%s)
nice -n 19 /usr/bin/python3 "$maker" "${size[@]}" "$work"
nice -n 19 /usr/bin/python3 "$top/bench/ocr_bench.py" --morvik "$build/morvik" \
  --jobs "${JOBS:-2}" "${peers[@]}" "$work"
echo
echo "whole run (making the pictures and reading them): $(($(date +%s) - start)) s"
