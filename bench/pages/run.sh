#!/usr/bin/env bash
# The printed-page benchmark: groff-typeset pages, single lines and digit cells, clean and
# degraded as scans are, read by `morvik --read` (stock library) beside ocrad, gocr and
# tesseract, one process per picture (bench/pages/README.md).
#
# Usage: bench/pages/run.sh [BUILD_DIR] [--quick | --full] [--no-peers]
# Prints the Markdown tables; writes the pictures, every program's answers and results.tsv
# into the work folder, $WORK or BUILD_DIR/pagebench (emptied first). JOBS programs run at
# once (2). Needs groff, ghostscript, python3-pil and python3-numpy (installed when missing
# and run as root), the peers likewise, and morvik with its stock library built.
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../bench_run.sh" pagebench "$here/make_pages.py" groff:groff ghostscript:gs -- "$@"
