#!/usr/bin/env bash
# Accuracy and speed of `morvik --read` beside GNU Ocrad and GOCR on rendered text: pictures of
# twelve typefaces from the Debian font packages (build/make_text_pictures, 40 per typeface:
# digit lines and blocks of capitals and digits, cap heights 20 to 64, both polarities, clean
# and noisy), one set per typeface learned with --learn-picture from a separate picture of its
# digits and capitals at cap height 40, then bench/ocr_compare.py.
# Needs a build with -DMORVIK_BENCH=ON (target make_text_pictures) and the ocrad and gocr
# packages.  Usage: bench/read_compare.sh [build dir] [extra --learn-picture options]
# The default learning options are the settings that read best on these pictures: a fixed
# threshold and increment of 20 and a square raster.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
shift || true
learn_options=("$@")
[ ${#learn_options[@]} -gt 0 ] || learn_options=(--no-auto --threshold 20 --increment 20 --ratio 100)

fonts=(
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
  /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
  /usr/share/fonts/truetype/freefont/FreeSans.ttf
  /usr/share/fonts/truetype/freefont/FreeSerif.ttf
  /usr/share/fonts/truetype/freefont/FreeMono.ttf
  /usr/share/fonts/opentype/urw-base35/NimbusSans-Regular.otf
  /usr/share/fonts/opentype/urw-base35/NimbusRoman-Regular.otf
  /usr/share/fonts/opentype/urw-base35/URWBookman-Light.otf
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/make_text_pictures" --learn "$work/learn" "$work/pics" "${fonts[@]}"
mkdir "$work/sets"
for picture in "$work"/learn/*.pgm; do
  "$build/morvik" --learn-picture "$picture" --chars 0-9A-Z \
    --save "$work/sets/$(basename "$picture" .pgm)" "${learn_options[@]}"
done
python3 "$top/bench/ocr_compare.py" --morvik "$build/morvik" --sets "$work/sets" "$work/pics"
