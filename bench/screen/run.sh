#!/usr/bin/env bash
# The screen-text benchmark: Chromium screenshots of paragraphs in nine families, three sizes
# and several display modes, and of UI pieces, read by `morvik --read` (stock library) beside
# ocrad, gocr and tesseract, one process per picture (bench/screen/README.md).
#
# Usage: bench/screen/run.sh [BUILD_DIR] [--quick | --full] [--no-peers]
# Prints the Markdown tables; writes the HTML, the screenshots, every program's answers and
# results.tsv into the work folder, $WORK or BUILD_DIR/screenbench (emptied first). JOBS
# programs run at once (2). Needs chromium, python3-pil and python3-numpy (installed when
# missing and run as root), the peers likewise, and morvik with its stock library built.
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../bench_run.sh" screenbench "$here/make_screens.py" chromium:chromium -- "$@"
