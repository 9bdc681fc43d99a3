#!/usr/bin/env bash
# vipsthumbnail on the thumbnail benchmark's photos (or a folder given as
# $1), to 74 x 74 like a grid cell; prints the wall time for all and per file.
# The photos are made by running velmora_bench --benchmark_filter=Thumbnail.
set -euo pipefail
dir=${1:-${TMPDIR:-/tmp}/velmora-thumbnail-bench-4000x3000-q90}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
shopt -s nullglob
files=("$dir"/*.jpg)
[ ${#files[@]} -gt 0 ] || { echo "no photos in $dir" >&2; exit 1; }
start=$(date +%s.%N)
vipsthumbnail --size 74x74 -o "$out/%s.jpg" "${files[@]}"
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v n=${#files[@]} \
    'BEGIN { printf "vipsthumbnail: %d files in %.2f s, %.1f ms per file\n", n, e - s, (e - s) * 1000 / n }'
