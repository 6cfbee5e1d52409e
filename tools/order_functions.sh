#!/usr/bin/env bash
# Writes tools/hot_functions.txt, the order in which the linker lays out the command line's
# code: the functions that typical runs execute, the busiest first. A run of one picture
# touches some 700 functions; scattered over 3 MiB of code they cost about 35 page faults a
# process (each mapping 64 KiB around it), side by side about 17. The order changes only where
# the code lies, never what it computes; a function missing from the list (new, renamed) is
# laid out after the listed ones, so a stale list costs speed, not correctness.
#
# Recipe: a Release build with the benchmarks (make_text_pictures) and the stock library,
# valgrind installed; the runs are pictures this script renders, the bundled examples, a set
# learned from a picture, a folder and a batch run. Run again after large changes:
#   tools/order_functions.sh [build dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$top/build}")
morvik=$build/morvik
command -v valgrind >/dev/null || { echo "order_functions: valgrind is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fonts=(/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
       /usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf)
"$build/make_text_pictures" "$work/pics" "${fonts[@]}" >/dev/null
"$build/make_text_pictures" --learn "$work/learn" "$work/unused" "${fonts[0]}" >/dev/null
"$morvik" --learn-picture "$work/learn/DejaVuSans.pgm" --chars 0-9A-Z --save "$work/sans" \
  --no-auto --threshold 20 --increment 20 --ratio 100
cp -r "$top/examples" "$work/examples"
pics=("$work"/pics/*_c20_dl_clean.pgm "$work"/pics/*_c40_ld_noise.pgm)

n=0
profile() {  # KIND ARGUMENTS...
  n=$((n + 1))
  (cd "$work/examples" && MORVIK_HOME="$work/examples" valgrind --tool=callgrind --demangle=no \
    --compress-strings=no --callgrind-out-file="$work/$1.$n.out" "$morvik" "${@:2}" \
    >/dev/null 2>&1)
}
for p in "${pics[@]}"; do profile read --read "$p"; done
for p in "${pics[@]:0:2}"; do profile read --read --set "$work/sans" "$p"; done
profile read --read pictures/invoice.png
profile other --learn learn --black --crop --save digits
profile other patterns --black --crop
profile other --learn learn --black --crop --batch batch

# Each function's own instructions over all runs. Valgrind's processor has
# no AVX-512: the forms a processor with it takes instead (the C library's "evex" and
# "avx512" string functions, the AVX-512 and VNNI dot products) follow their AVX2 forms.
nm "$morvik" | awk '{print $NF}' >"$work/symbols"
python3 - "$work/symbols" "$work"/*.out >"$top/tools/hot_functions.txt" <<'EOF'
import collections, re, sys
symbols = set(open(sys.argv[1]).read().split())
cost, runs, reads = collections.Counter(), collections.Counter(), set()
for name in sys.argv[2:]:
    fn, skip, seen = None, False, set()
    for line in open(name, encoding="latin-1"):
        if line.startswith("fn="):
            fn = re.sub(r"'\d+$", "", line[3:].strip())
        elif line.startswith("calls="):
            skip = True  # the next line is what the call cost, not this function's own
        elif line[:1].isdigit() or line[:1] in "+-*":
            if not skip and fn:
                cost[fn] += int(line.split()[1]) if len(line.split()) > 1 else 0
                seen.add(fn)
            skip = False
    runs.update(seen)
    if name.rsplit("/", 1)[-1].startswith("read."):
        reads |= seen
# What readings execute first, what most of them execute before what few do (a set's files,
# the stock pack), then the other routes': a reading's code then spans the fewest pages.
listed = set()
for fn in sorted(cost, key=lambda f: (f not in reads, -runs[f], -cost[f], f)):
    if fn.startswith("0x") or fn.startswith("("):
        continue
    forms = [fn]
    if re.search(r"_avx2?(_|$)", fn):
        forms += [re.sub(r"_avx2?(?=_|$)", "_evex", fn), re.sub(r"_avx2?(?=_|$)", "_avx512", fn)]
    if "Avx2Products" in fn:
        forms += [fn.replace("Avx2Products", "VnniProducts"),
                  fn.replace("12Avx2Products", "18Avx512VnniProducts")]
    for f in forms:
        if f not in listed and (f == fn or f in symbols):
            listed.add(f)
            print(f)
EOF
wc -l <"$top/tools/hot_functions.txt"
