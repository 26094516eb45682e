#!/usr/bin/env bash
# JPEG decoding speed of the image library's core against djpeg -dct int,
# on the same 12-megapixel photo-like file in the same run.
#
#   bench/jpeg_decode.sh [RUNS [FILE.jpg]]
#
# Without FILE it makes (once) a 4032 x 3024 plasma picture with ImageMagick.
# Each side decodes the file RUNS times (default 15) in turns, one process
# per decode, so that every side pays for starting up and reading the file.
# For each side it prints the best wall time and the mean user and system
# CPU time, and the throughput ratio of the core against djpeg writing its
# output nowhere (/dev/null) - the goal is at least 0.9 - and against
# djpeg writing it to a file in memory (/dev/shm), which, like the core,
# puts all 36 MB of pixels into fresh memory. A last line runs the core
# with glibc's malloc asking for transparent huge pages, so that the first
# touch of the record's 36 MB costs a few hundred page faults instead of
# some 9000: it tells the decoding apart from the fresh memory, whose cost
# depends on the machine (in a virtual machine each fault is dear).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-15}
cd "$repo"

cmake --preset bench >/dev/null
cmake --build --preset bench --target jpeg_decode_bench >/dev/null
bench="$repo/build/bench/bench/jpeg_decode_bench"

photo=${2:-"$repo/build/bench/photo-4032x3024.jpg"}
if [ ! -f "$photo" ]; then
    echo "making $photo"
    convert -size 4032x3024 plasma:fractal -blur 0x2 -quality 90 -sampling-factor 2x2 "$photo"
fi
shm_output="/dev/shm/jpeg-decode-bench-$$.ppm"
trap 'rm -f "$shm_output"' EXIT

TIMEFORMAT='%3R %3U %3S'
declare -A best user system
measure() {  # side command...
    local side=$1 line real u s
    shift
    line=$({ time "$@" >/dev/null 2>&1; } 2>&1)
    read -r real u s <<<"$line"
    if [ -z "${best[$side]:-}" ] || awk -v a="$real" -v b="${best[$side]}" 'BEGIN { exit !(a < b) }'; then
        best[$side]=$real
    fi
    user[$side]=$(awk -v a="${user[$side]:-0}" -v b="$u" 'BEGIN { print a + b }')
    system[$side]=$(awk -v a="${system[$side]:-0}" -v b="$s" 'BEGIN { print a + b }')
}

for ((run = 0; run < runs; run++)); do
    measure djpeg_null djpeg -dct int -outfile /dev/null "$photo"
    measure djpeg_shm djpeg -dct int -outfile "$shm_output" "$photo"
    measure core "$bench" "$photo" 1
    measure core_huge env GLIBC_TUNABLES=glibc.malloc.hugetlb=1 "$bench" "$photo" 1
done

read -r width height < <(identify -format '%w %h\n' "$photo")
awk -v runs="$runs" -v pixels=$((width * height)) -v size="$width x $height" \
    -v dn="${best[djpeg_null]}" -v dnu="${user[djpeg_null]}" -v dns="${system[djpeg_null]}" \
    -v ds="${best[djpeg_shm]}" -v dsu="${user[djpeg_shm]}" -v dss="${system[djpeg_shm]}" \
    -v c="${best[core]}" -v cu="${user[core]}" -v cs="${system[core]}" \
    -v h="${best[core_huge]}" -v hu="${user[core_huge]}" -v hs="${system[core_huge]}" 'BEGIN {
    printf "%s JPEG, %d runs each; best wall time, mean CPU time\n", size, runs
    line = "%-34s %7.1f ms %7.1f Mpixel/s   user %5.1f ms  system %5.1f ms\n"
    printf line, "djpeg -dct int to /dev/null", dn * 1000, pixels / dn / 1e6, dnu * 1000 / runs, dns * 1000 / runs
    printf line, "djpeg -dct int to /dev/shm file", ds * 1000, pixels / ds / 1e6, dsu * 1000 / runs, dss * 1000 / runs
    printf line, "core decode to its image record", c * 1000, pixels / c / 1e6, cu * 1000 / runs, cs * 1000 / runs
    printf line, "core, record in huge pages", h * 1000, pixels / h / 1e6, hu * 1000 / runs, hs * 1000 / runs
    printf "ratio, core / djpeg to /dev/null:    %.2f\n", dn / c
    printf "ratio, core / djpeg to /dev/shm file: %.2f\n", ds / c
    printf "ratio, core in huge pages / djpeg to /dev/null: %.2f\n", dn / h
}'
