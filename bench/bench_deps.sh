#!/usr/bin/env bash
# Installs what the benchmarks need and is missing, from Debian (as root):
# python3 with PIL and numpy, and the packages named as PACKAGE:COMMAND arguments.
set -euo pipefail
missing=()
/usr/bin/python3 -c 'import PIL, numpy' 2>/dev/null || missing+=(python3-pil python3-numpy)
for pair in "$@"; do
  command -v "${pair#*:}" >/dev/null || missing+=("${pair%%:*}")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "bench: missing ${missing[*]}; install them (apt-get install ${missing[*]})" >&2
  exit 1
fi
# A fresh machine has no package lists yet.
apt-get update -q >&2
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
