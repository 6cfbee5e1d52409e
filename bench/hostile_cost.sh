#!/usr/bin/env bash
# Time and peak memory of `morvik --read` on pictures made to cost much: a grid of dots and a
# one-pixel checkerboard at 8192 x 8192 (PNGs of about 100 KB), the dots at 4096 x 4096 with
# --format json, random noise, a stream of zeros on standard input, a picture of thin bars
# learned as two characters and a --cut of 12,000 bars. Each line gives the seconds, the
# processor seconds, the peak resident size, the exit status and the bytes printed.
# Memory should stay within a few copies of the grey picture (64 MiB at 8192 x 8192).
#   bench/hostile_cost.sh [build dir]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
morvik=$(realpath "${1:-$top/build}")/morvik
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A grey PNG of n x n pixels: dots (2 x 2 every 8), checker (one pixel), noise (random), bars
# (one pixel wide, every third column, in bands of 30 rows).
png() {
  python3 - "$@" <<'PY'
import random, struct, sys, zlib
kind, n, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
def rows():
    for y in range(n):
        if kind == "dots":
            yield (bytes([0, 0, 255, 255, 255, 255, 255, 255]) * (n // 8)) if y % 8 < 2 else b"\xff" * n
        elif kind == "checker":
            yield bytes([0, 255] if y % 2 == 0 else [255, 0]) * (n // 2)
        elif kind == "noise":
            yield bytes(random.getrandbits(8) for _ in range(n))
        else:
            yield (bytes([0, 255, 255]) * (n // 3) + b"\xff" * (n % 3)) if y % 40 < 30 else b"\xff" * n
def chunk(t, d):
    return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xffffffff)
z = zlib.compressobj(9)
data = b"".join(z.compress(b"\0" + r) for r in rows()) + z.flush()
with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 0, 0, 0, 0))
            + chunk(b"IDAT", data) + chunk(b"IEND", b""))
PY
}

measure() {
  local name=$1
  shift
  local status=0
  /usr/bin/time -f "%e %U %M" -o "$work/time" "$@" > "$work/out" 2> "$work/err" || status=$?
  read -r seconds cpu kb < <(tail -1 "$work/time")
  printf "%-34s %8.2f s %8.2f s cpu %8d KiB  exit %d  %10d bytes\n" "$name" "$seconds" "$cpu" "$kb" \
    "$status" "$(stat -c %s "$work/out")"
}

png dots 8192 "$work/dots8192.png"
png checker 8192 "$work/checker8192.png"
png dots 4096 "$work/dots4096.png"
png noise 600 "$work/noise600.png"
png bars 3000 "$work/bars.png"
png bars 1200 "$work/bars1200.png"

measure "dots 8192 x 8192" "$morvik" --read "$work/dots8192.png"
measure "checkerboard 8192 x 8192" "$morvik" --read "$work/checker8192.png"
measure "dots 4096 x 4096, json" "$morvik" --read --format json "$work/dots4096.png"
measure "random noise 600 x 600" "$morvik" --read "$work/noise600.png"
measure "2 GiB of zeros on standard input" sh -c "head -c 2147483648 /dev/zero | '$morvik' --read -"
measure "thin bars learned as 2 characters" "$morvik" --learn-picture "$work/bars.png" --chars AB \
  --save "$work/bars"
measure "--cut of 12,000 bars" "$morvik" --read --cut "$work/cut" "$work/bars1200.png"
echo "cut files written: $(find "$work/cut" -type f 2>/dev/null | wc -l)"
