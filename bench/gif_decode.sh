#!/usr/bin/env bash
# GIF decoding speed of the image library's core against giflib, in the
# same run, on large GIF files made with ImageMagick (once):
#   photo    4000 x 3000, a plasma picture reduced to 256 dithered colours
#   drawing  4000 x 3000, a smooth gradient in 32 flat bands (long strings)
#   interlaced, the photo stored interlaced
#
#   bench/gif_decode.sh [RUNS [FILE.gif...]]
#
# Each file is decoded RUNS times (default 10) by each side in turns, in one
# process; the best times (wall clock, and processor time) and the
# throughput ratios core / giflib are printed. The goal is at least 1.5 by
# the wall clock; on a busy machine the processor-time ratio is the steadier
# one. Both sides must give the same indices.
#
# Each file is then decoded once more with both sides' memory in huge pages
# (glibc.malloc.hugetlb=1). A load here touches fresh memory for the whole
# file and for the record, and on a virtual machine the first touch of each
# 4 KB page can cost more than decoding it; the second figure is the
# decoding alone.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-10}
shift || true
cd "$repo"

cmake --preset bench >/dev/null
cmake --build --preset bench --target gif_decode_bench >/dev/null
bench="$repo/build/bench/bench/gif_decode_bench"

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
    dir="$repo/build/bench"
    mkdir -p "$dir"
    photo="$dir/photo-4000x3000.gif"
    drawing="$dir/drawing-4000x3000.gif"
    interlaced="$dir/interlaced-4000x3000.gif"
    if [ ! -f "$photo" ]; then
        echo "making $photo"
        convert -size 4000x3000 -seed 5 plasma:fractal -blur 0x2 -colors 256 -interlace none "$photo"
    fi
    if [ ! -f "$drawing" ]; then
        echo "making $drawing"
        convert -size 3000x4000 gradient:navy-orange -rotate 90 +dither -colors 32 -interlace none "$drawing"
    fi
    if [ ! -f "$interlaced" ]; then
        echo "making $interlaced"
        convert "$photo" -interlace GIF "$interlaced"
    fi
    files=("$photo" "$drawing" "$interlaced")
fi
for file in "${files[@]}"; do
    "$bench" "$file" "$runs"
done
echo "--- the same, with both sides' memory in huge pages"
for file in "${files[@]}"; do
    GLIBC_TUNABLES=glibc.malloc.hugetlb=1 "$bench" "$file" "$runs"
done
