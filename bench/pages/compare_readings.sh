#!/usr/bin/env bash
# Whether two builds of morvik read the same pictures alike: each picture of a folder is read by
# both (--format tsv: every character with its box, its three best and their scores) and the
# pictures whose answers differ are listed. For checking that a change of speed left the
# readings as they were. Usage: compare_readings.sh MORVIK_BEFORE MORVIK_AFTER FOLDER
# [EXTRA OPTIONS...]; exits 1 when any picture reads differently.
set -euo pipefail
before=$1 after=$2 folder=$3
shift 3
# The stock sets are named by their path beside each build, which differs between two builds.
readings() {
  "$1" --read --format tsv "${@:3}" "$2" 2>&1 | sed "s|$(dirname "$1")/stock/|stock/|g"
}
differ=0 total=0
for picture in "$folder"/*; do
  [ -f "$picture" ] || continue
  total=$((total + 1))
  if ! cmp -s <(readings "$before" "$picture" "$@") <(readings "$after" "$picture" "$@"); then
    echo "differs: $picture"
    differ=$((differ + 1))
  fi
done
echo "$differ of $total pictures read differently"
[ "$differ" -eq 0 ]
