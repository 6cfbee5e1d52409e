#!/usr/bin/env bash
# The stock library beside GNU Ocrad and GOCR, on typefaces the library was not learned from.
#
# 1. Accuracy on single characters: stock_accuracy renders 0-9A-Z of each typeface at cap
#    heights 20 to 64, both polarities, clean and noisy, reads them under --chars 0-9A-Z (and
#    the digits under 0-9) and writes the pictures as PGM. ocrad (--filter=upper_num_only,
#    numbers_only) and gocr (-C 0-9A-Z, -C 0-9) read the same pictures, one process each;
#    they get light-on-dark pictures inverted, as their best case (neither finds the polarity).
#    A character counts when the whole output, blanks removed, is that character.
# 2. Speed: pictures of lines and blocks of text (make_text_pictures), one process per picture
#    on one core: stock_read (library opened, picture read, cut, recognised, printed) against
#    ocrad and gocr on the same PGMs; pictures per second.
#
# Usage: bench/stock_peers.sh [BUILD_DIR]   (default build; needs stock_accuracy, stock_read,
# make_text_pictures and the stock library built: cmake -DMORVIK_BENCH=ON)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
library=$build/stock/stock.sets
core=${BENCH_CORE:-0}
fonts=(
  /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf
  /usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf
  /usr/share/fonts/truetype/freefont/FreeSans.ttf
  /usr/share/fonts/truetype/freefont/FreeSerif.ttf
  /usr/share/fonts/truetype/freefont/FreeMono.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
  /usr/share/fonts/opentype/urw-base35/C059-Roman.otf
  /usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf
  /usr/share/fonts/opentype/urw-base35/P052-Roman.otf
)
for tool in ocrad gocr pnminvert; do
  command -v $tool >/dev/null || { echo "stock_peers: $tool not installed" >&2; exit 1; }
done

work=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
echo "stock_peers: working in $work"
mkdir "$work/chars" "$work/peer" "$work/text"

"$build/stock_accuracy" --library "$library" --pgm "$work/chars" "${fonts[@]}" | tee "$work/morvik.txt"

# The peers' pictures: dark on light.
for f in "$work"/chars/*.pgm; do
  name=$(basename "$f")
  case $name in
    *_ld_*) pnminvert "$f" > "$work/peer/$name" ;;
    *) ln -s "$f" "$work/peer/$name" ;;
  esac
done

# One line per picture: font, expected, ocrad, gocr, ocrad on digits, gocr on digits.
peer_one() {
  local f=$1 chars=$2
  local name want o g od gd
  name=$(basename "$f" .pgm)
  want=$(cat "$chars/$name.txt")
  o=$(ocrad --filter=upper_num_only "$f" 2>/dev/null | tr -d ' \n')
  g=$(gocr -C 0-9A-Z "$f" 2>/dev/null | tr -d ' \n')
  od=- gd=-
  case $want in [0-9])
    od=$(ocrad --filter=numbers_only "$f" 2>/dev/null | tr -d ' \n')
    gd=$(gocr -C 0-9 "$f" 2>/dev/null | tr -d ' \n') ;;
  esac
  echo "${name%%_c[0-9]*} $want ${o:-_} ${g:-_} ${od:-_} ${gd:-_}"
}
export -f peer_one
ls "$work"/peer/*.pgm | xargs -P 2 -I{} bash -c 'peer_one "$1" "$2"' _ {} "$work/chars" \
  > "$work/peers.txt"

python3 - "$work/morvik.txt" "$work/peers.txt" <<'PY'
import sys, collections
morvik = {}
for line in open(sys.argv[1]):
    p = line.split()
    if len(p) >= 5 and p[1].endswith('%') and p[0] not in ('all', 'typeface'):
        morvik[p[0]] = (p[1], p[3])
tally = collections.defaultdict(lambda: [0] * 6)
for line in open(sys.argv[2], encoding='latin-1'):
    font, want, o, g, od, gd = line.split()
    t = tally[font]
    t[0] += 1; t[1] += o == want; t[2] += g == want
    if want.isdigit():
        t[3] += 1; t[4] += od == want; t[5] += gd == want
def pct(a, b): return f"{100.0 * a / b:5.1f}%" if b else "  -  "
print()
print(f"{'typeface':26} {'0-9A-Z: morvik':>14} {'ocrad':>7} {'gocr':>7}   {'digits: morvik':>14} {'ocrad':>7} {'gocr':>7}")
total = [0] * 6
for font in sorted(tally):
    t = tally[font]
    total = [a + b for a, b in zip(total, t)]
    m = morvik.get(font, ('-', '-'))
    print(f"{font:26} {m[0]:>14} {pct(t[1], t[0]):>7} {pct(t[2], t[0]):>7}   {m[1]:>14} {pct(t[4], t[3]):>7} {pct(t[5], t[3]):>7}")
print(f"{'all (peers)':26} {'':>14} {pct(total[1], total[0]):>7} {pct(total[2], total[0]):>7}   {'':>14} {pct(total[4], total[3]):>7} {pct(total[5], total[3]):>7}")
PY

# Speed: one process per picture of text, on one core.
"$build/make_text_pictures" "$work/text" "${fonts[0]}" "${fonts[5]}" "${fonts[8]}" >/dev/null
pictures=("$work"/text/*.pgm)
n=${#pictures[@]}
rate() {  # command prefix; prints pictures per second over all pictures
  local start end
  start=$(date +%s.%N)
  for p in "${pictures[@]}"; do taskset -c "$core" "$@" "$p" >/dev/null 2>&1 || true; done
  end=$(date +%s.%N)
  python3 -c "print(f'{$n / ($end - $start):.0f}')"
}
echo
echo "speed, $n pictures of lines and blocks, one process each on core $core:"
m=$(rate "$build/stock_read" --library "$library")
o=$(rate ocrad)
g=$(rate gocr)
echo "  stock_read $m pictures/s, ocrad $o, gocr $g"
echo "  stock_read, all $n pictures in one process: $("$build/stock_read" --timing --library "$library" "${pictures[@]}" 2>&1 >/dev/null)"
python3 -c "
m, o, g = $m, $o, $g
best = max(o, g)
print(f'  {m / best:.2f} x the faster peer (target 2)')"

# Accuracy of the same pictures read whole (characters by edit distance, spaces included).
for p in "${pictures[@]}"; do
  printf '%s\t' "$(basename "$p" .pgm)"
  "$build/stock_read" --library "$library" "$p" | tr '\n' '|'
  # ocrad reads dark on light only: it gets light-on-dark pictures inverted.
  case $p in
    *_ld_*) printf '\t'; pnminvert "$p" | ocrad 2>/dev/null | tr '\n' '|' ;;
    *) printf '\t'; ocrad "$p" 2>/dev/null | tr '\n' '|' ;;
  esac
  printf '\t'; tr '\n' '|' < "${p%.pgm}.txt"
  echo
done > "$work/lines.tsv"
python3 - "$work/lines.tsv" <<'PY'
import sys
def dist(a, b):
    prev = list(range(len(b) + 1))
    for i, x in enumerate(a, 1):
        cur = [i]
        for j, y in enumerate(b, 1):
            cur.append(min(prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (x != y)))
        prev = cur
    return prev[-1]
def norm(s): return '\n'.join(l.strip() for l in s.strip('|').split('|') if l.strip())
m = o = chars = 0
for line in open(sys.argv[1], encoding='latin-1'):
    name, got, oc, want = line.rstrip('\n').split('\t')
    want = norm(want); chars += len(want)
    m += dist(norm(got), want); o += dist(norm(oc), want)
print(f"  whole pictures, characters right by edit distance, spaces included, no --chars: "
      f"stock_read {100 * (1 - m / chars):.1f}%, ocrad {100 * (1 - o / chars):.1f}%")
PY
