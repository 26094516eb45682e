#!/usr/bin/env bash
# Runs the image library's fuzz targets for longer than the test command
# does: each for SECONDS (default 600), two at a time, each from its seeds
# and a corpus of its own kept in the build tree between runs.
#
#   tools/fuzz/long_run.sh [SECONDS [TARGET...]]
#
# Targets: imagelib_fuzz (formats found by content), imagelib_fuzz_gif,
# imagelib_fuzz_pcx, imagelib_fuzz_tga, imagelib_fuzz_exif (the Exif
# orientation reader). Inputs that crash are written to
# build/native/fuzz-long/TARGET/crash-*; make each one a regression test
# with its input in the tree. Logs: build/native/fuzz-long/TARGET.log.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(imagelib_fuzz imagelib_fuzz_gif imagelib_fuzz_pcx imagelib_fuzz_tga imagelib_fuzz_exif)
cd "$repo"

cmake --preset native >/dev/null
cmake --build --preset native --target "${targets[@]}" >/dev/null

seeds="$repo/imagelib/testdata/seeds"
declare -A corpus=([imagelib_fuzz]="$seeds" [imagelib_fuzz_gif]="$seeds/gif"
                   [imagelib_fuzz_pcx]="$seeds/pcx" [imagelib_fuzz_tga]="$seeds/tga"
                   [imagelib_fuzz_exif]="$seeds/exif")
out="$repo/build/native/fuzz-long"

run() {  # target
    local target=$1 dir="$out/$1"
    mkdir -p "$dir/corpus"
    # The input file goes to the working folder: one per target.
    (cd "$dir" && "$repo/build/native/imagelib/$target" -max_total_time="$seconds" -max_len=16384 \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/" \
        "$dir/corpus" "${corpus[$target]}" >"$out/$target.log" 2>&1)
}

mkdir -p "$out"
status=0
pids=()
for target in "${targets[@]}"; do
    run "$target" &
    pids+=($!)
    if [ ${#pids[@]} -eq 2 ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[1]}")
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done

for target in "${targets[@]}"; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log" | tail -n 1)
    crashes=$(find "$out/$target" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
              -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
    printf '%-20s %6s s  %10s inputs  corpus %5s files  %s problem inputs\n' "$target" "$seconds" \
        "${runs:-?}" "$(find "$out/$target/corpus" -type f | wc -l)" "$crashes"
done
exit $status
