#!/usr/bin/env bash
# Whether two builds of morvik read a list of pictures alike: `--read --format tsv` of each
# picture by both, with the stock library and with any sets given, compared byte for byte.
# For changes that must not change a single answer (faster scoring, sampling, ranking).
#   bench/read_same.sh OLD_MORVIK NEW_MORVIK LIST [--set BASE]...
# LIST names one picture a line. Prints the pictures read differently; exits 1 if any.
set -euo pipefail
old=$1 new=$2 list=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
differ=0 count=0
while read -r picture; do
  [ -n "$picture" ] || continue
  for library in stock "$@"; do
    [ "$library" = --set ] && continue
    args=()
    [ "$library" = stock ] || args=(--set "$library")
    # The stock sets are named by their path beside each build: the builds' folders differ.
    for build in old new; do
      morvik=${!build}
      { "$morvik" --read --jobs 1 --format tsv "${args[@]}" "$picture" 2>&1 || true; } |
        sed "s|$(dirname "$morvik")/stock/|stock/|g" >"$work/$build"
    done
    count=$((count + 1))
    if ! cmp -s "$work/old" "$work/new"; then
      echo "differs: $picture ($library)"
      differ=$((differ + 1))
    fi
  done
done <"$list"
echo "$count readings, $differ differ"
[ "$differ" -eq 0 ]
