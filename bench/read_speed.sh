#!/usr/bin/env bash
# Speed of `morvik --read` beside GNU Ocrad and GOCR: pictures of lines and blocks of text
# (build/make_text_pictures, three typefaces, 120 PGMs: cap heights 20 to 64, both polarities,
# clean and noisy), read one process per picture by each program, then all in one morvik
# process (bench/read_speed.py). With the stock library by default; options after the build
# folder go to read_speed.py (--set BASE for learned sets, --rounds N).
# Needs a build with -DMORVIK_BENCH=ON (make_text_pictures, the stock library) and the ocrad
# and gocr packages.  Usage: bench/read_speed.sh [build dir] [read_speed.py options]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
shift || true
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$top/bench/text_fonts.sh"
"$build/make_text_pictures" "$work/pics" "${text_fonts[@]}" >/dev/null
python3 "$top/bench/read_speed.py" --morvik "$build/morvik" "$@" "$work/pics"
