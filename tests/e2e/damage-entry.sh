#!/usr/bin/env bash
# A damaged download for the payload check's scenario: a copy of a packed setup with the first
# byte of one entry's data inverted, found by z614pack list; z614pack verify must refuse it.
#
#   tests/e2e/damage-entry.sh Z614PACK SETUP ENTRY OUT
set -euo pipefail
packer=$1 setup=$2 entry=$3 out=$4
offset=$("$packer" list "$setup" | awk -F'\t' -v e="$entry" '$1 == e { print $4 }')
[ -n "$offset" ] || { echo "damage-entry.sh: $setup holds no entry $entry" >&2; exit 1; }
cp "$setup" "$out.tmp"
byte=$(od -An -tu1 -j "$offset" -N 1 "$out.tmp" | tr -d ' ')
printf "$(printf '\\%03o' $((byte ^ 0xFF)))" |
  dd of="$out.tmp" bs=1 seek="$offset" conv=notrunc status=none
if "$packer" verify "$out.tmp" >/dev/null 2>&1; then
  echo "damage-entry.sh: the copy still verifies" >&2
  exit 1
fi
mv "$out.tmp" "$out"
