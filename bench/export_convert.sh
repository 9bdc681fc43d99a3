#!/usr/bin/env bash
# ImageMagick's convert encoding the composed collage that velmora_bench's
# export benchmark left behind, to PNG (level 9) and JPEG (quality 90).
set -euo pipefail
src="${TMPDIR:-/tmp}/velmora-export-source.bmp"
[ -f "$src" ] || { echo "run velmora_bench --benchmark_filter=Export first" >&2; exit 1; }
time convert "$src" -quality 90 "${TMPDIR:-/tmp}/convert-export.jpg"
time convert "$src" -define png:compression-level=9 "${TMPDIR:-/tmp}/convert-export.png"
