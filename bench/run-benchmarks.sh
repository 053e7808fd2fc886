#!/usr/bin/env bash
# Runs the native benchmarks of a Release tree: CRC-32 against zlib, the opening of archive
# directories, and z614pack pack and verify of a 256 MiB payload against cp of the same bytes
# (warm page cache for all; best of five runs each, as a busy machine spreads the
# times widely).
#
#   bench/run-benchmarks.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: run-benchmarks.sh BUILD_DIR}
packer=$build/tools/z614pack/z614pack
for program in "$build/bench/crc32_bench" "$build/bench/archive_open_bench" "$packer"; do
  [ -x "$program" ] || { echo "run-benchmarks.sh: $program is not built" >&2; exit 1; }
done

echo "== CRC-32 against zlib on 256 MiB"
"$build/bench/crc32_bench"
echo
echo "== Opening archive directories"
"$build/bench/archive_open_bench"
echo
echo "== Loading install scripts"
"$build/bench/script_load_bench"
echo

work=$(mktemp -d "$build/bench-pack.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/payload"
head -c 200000 /dev/urandom >"$work/image.exe"
for i in 1 2 3 4 5 6 7 8; do head -c $((32 << 20)) /dev/urandom >"$work/payload/part$i.bin"; done
cat "$work/image.exe" "$work/payload"/* >"$work/same-bytes.bin"  # what cp copies: the same bytes

# Best wall time of five runs of "$@", in seconds; $cleanup runs before each.
best_of_five() {
  local best="" t start end
  for _ in 1 2 3 4 5; do
    eval "$cleanup"
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
  awk -v t="$best" 'BEGIN { printf "%.3f", t }'
}

cat "$work/payload"/* "$work/same-bytes.bin" >/dev/null  # warm the page cache
cleanup='rm -f "$work/copy.bin"'
cp_time=$(best_of_five cp "$work/same-bytes.bin" "$work/copy.bin")
cleanup='rm -f "$work/Setup.exe"'
pack_time=$(best_of_five "$packer" pack "$work/image.exe" "$work/payload" "$work/Setup.exe")
"$packer" pack "$work/image.exe" "$work/payload" "$work/Setup.exe"
cleanup=':'
verify_time=$(best_of_five "$packer" verify "$work/Setup.exe")

echo "== z614pack on a 256 MiB payload (8 files of 32 MiB), best of 5"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
# The goals: pack within 1.2 times cp of the same bytes, verify faster than cp.
within() { awk -v a="$1" -v b="$2" -v f="$3" 'BEGIN { exit !(a <= f * b) }' && echo "within ${3}x of cp" || echo "SLOWER than ${3}x cp"; }
printf 'cp of the same bytes   %ss\n' "$cp_time"
printf 'z614pack pack          %ss  (%sx cp, %s)\n' "$pack_time" "$(ratio "$pack_time" "$cp_time")" "$(within "$pack_time" "$cp_time" 1.2)"
printf 'z614pack verify        %ss  (%sx cp, %s)\n' "$verify_time" "$(ratio "$verify_time" "$cp_time")" "$(within "$verify_time" "$cp_time" 1)"
