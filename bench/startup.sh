#!/usr/bin/env bash
# Start-up time of the command line beside two other OCR programs, in one hyperfine run:
# `morvik --version`, `ocrad --version` and `gocr -h` (packages ocrad, gocr, hyperfine).
# Target: morvik --version no slower than ocrad --version (medians compared).
# Usage: bench/startup.sh [path/to/morvik]   (default build/morvik)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$(dirname "$0")/bench_deps.sh" hyperfine:hyperfine ocrad:ocrad gocr:gocr
morvik=$(realpath "${1:-$top/build/morvik}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "startup: $(ldd "$morvik" | wc -l) shared libraries loaded by $morvik" \
  "($(ldd "$morvik" | grep -ci qt || true) of them Qt)"
# gocr -h exits with status 1 after its help text: failures are ignored.
hyperfine -N -i --warmup 50 --runs 1000 --export-json "$work/startup.json" \
  "$morvik --version" "ocrad --version" "gocr -h" >&2
python3 - "$work/startup.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ms = {r["command"].split()[0].rsplit("/", 1)[-1]: r["median"] * 1000 for r in results}
for name, t in ms.items():
    print(f"startup: {name:7s} {t:6.2f} ms")
verdict = "meets" if ms["morvik"] <= ms["ocrad"] else "misses"
print(f"startup: morvik {verdict} the target (no slower than ocrad)")
PY
