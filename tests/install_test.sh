#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file is in its place and
# that the installed program runs from there.
# With the Python package, that the installed package imports and reads with the installed
# stock library.
# Usage: install_test.sh BUILD BINDIR MANDIR DATADIR GUI(ON|OFF) [PYTHON PYTHON_SITE PICTURE]
set -euo pipefail
build=$1 bindir=$2 mandir=$3 datadir=$4 gui=$5 python=${6:-} site=${7:-} picture=${8:-}
prefix=$(mktemp -d "${TMPDIR:-/tmp}/morvik-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > "$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; exit 1; }
rm -f "$prefix.log"

status=0
expect() {
  if [ -f "$prefix/$1" ]; then echo "installed: $1"; else echo "MISSING: $1"; status=1; fi
}
expect "$bindir/morvik"
expect "$mandir/man1/morvik.1"
expect "$datadir/morvik/stock/words.table"
case "$gui" in
  ON|on|1|TRUE|true|YES|yes)
    expect "$datadir/applications/morvik.desktop"
    expect "$datadir/icons/hicolor/scalable/apps/morvik.svg"
    expect "libexec/morvik/morvik-window"
    exec_line=$(grep '^Exec=' "$prefix/$datadir/applications/morvik.desktop" || true)
    program=${exec_line#Exec=}
    if [ -x "$prefix/$bindir/${program%% *}" ]; then echo "desktop entry runs: $program"
    else echo "desktop entry names no installed program: $exec_line"; status=1; fi
    if command -v desktop-file-validate > /dev/null; then
      desktop-file-validate "$prefix/$datadir/applications/morvik.desktop" || status=1
    fi
    ;;
esac

version=$("$prefix/$bindir/morvik" --version) || { echo "installed morvik --version failed"; status=1; }
case "$version" in
  "morvik "*) echo "runs: $version" ;;
  *) echo "unexpected --version output: $version"; status=1 ;;
esac
if command -v groff > /dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$prefix/$mandir/man1/morvik.1" 2>&1)
  [ -z "$warnings" ] || { echo "manual page warnings: $warnings"; status=1; }
fi
if [ -n "$python" ]; then
  expect "$site/morvik/__init__.py"
  expect "$site/morvik/py.typed"
  # Only the installed package and stock library (no build tree on the path), from a folder
  # that does not hold the stock library, so that its set names show whole.
  read=$(cd "$prefix/$bindir" && env -u MORVIK_STOCK PYTHONPATH="$prefix/$site" "$python" -c '
import sys, morvik
assert morvik.__file__.startswith(sys.argv[1]), morvik.__file__
assert morvik.Library.stock().set_names[0].startswith(sys.argv[1]), "stock not installed"
print(morvik.read(sys.argv[2]).text, end="")' "$prefix" "$picture") || status=1
  [ "$read" = "$("$prefix/$bindir/morvik" --read "$picture")" ] && echo "python package reads" ||
    { echo "the installed python package read: $read"; status=1; }
fi
exit $status
