#!/usr/bin/env bash
# Saving as JPEG: the image library's core (load a 24-bit BMP, save it at
# quality 80) against cjpeg -quality 80 -dct int on the same BMP, both
# writing into memory (/dev/shm), in the same run.
#
#   bench/jpeg_save.sh [RUNS]
#
# Makes (once) a 4032 x 3024 plasma picture as a 24-bit BMP with
# ImageMagick. Each side runs RUNS times (default 10) in turns, one process
# each; it prints the best wall time of each and the ratio core / cjpeg.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-10}
cd "$repo"

cmake --preset bench >/dev/null
cmake --build --preset bench --target jpeg_save_bench >/dev/null
bench="$repo/build/bench/bench/jpeg_save_bench"

picture="$repo/build/bench/photo-4032x3024.bmp"
if [ ! -f "$picture" ]; then
    echo "making $picture"
    convert -size 4032x3024 plasma:fractal -blur 0x2 -type TrueColor "BMP3:$picture"
fi
output="/dev/shm/jpeg-save-bench-$$"
trap 'rm -f "$output".*' EXIT

TIMEFORMAT='%3R'
best_core='' best_cjpeg=''
faster() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(b == "" || a < b) }'; }
for ((run = 0; run < runs; run++)); do
    t=$({ time cjpeg -quality 80 -dct int -outfile "$output.cjpeg.jpg" "$picture" >/dev/null 2>&1; } 2>&1)
    faster "$t" "$best_cjpeg" && best_cjpeg=$t
    t=$({ time "$bench" "$picture" 80 "$output.core.jpg" >/dev/null 2>&1; } 2>&1)
    faster "$t" "$best_core" && best_core=$t
done
awk -v runs="$runs" -v c="$best_core" -v j="$best_cjpeg" \
    -v cs="$(stat -c %s "$output.core.jpg")" -v js="$(stat -c %s "$output.cjpeg.jpg")" 'BEGIN {
    printf "4032 x 3024 24-bit BMP to JPEG at quality 80, %d runs each, best wall time\n", runs
    printf "cjpeg -quality 80 -dct int   %7.1f ms   %d bytes\n", j * 1000, js
    printf "core load and save           %7.1f ms   %d bytes\n", c * 1000, cs
    printf "ratio, cjpeg time / core time: %.2f\n", j / c
}'
