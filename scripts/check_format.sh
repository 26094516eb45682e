#!/usr/bin/env bash
# Lists the C++ files whose layout differs from .clang-format and fails if
# there are any. With --fix, rewrites them in place instead.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

# Tracked files and new ones not yet added (not what .gitignore hides).
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' |
                     while read -r f; do [ -f "$f" ] && printf '%s\n' "$f"; done)

if [ "${1:-}" = --fix ]; then
    printf '%s\0' "${files[@]}" | xargs -0 clang-format -i
    exit 0
fi

# One clang-format for all files (one per file costs far more); it warns
# "code should be clang-formatted" at each place that differs.
report=$(printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run 2>&1) || {
    printf '%s\n' "$report" >&2
    echo "check_format: clang-format failed" >&2
    exit 1
}
differing=$(printf '%s\n' "$report" |
            sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' |
            sort -u)
if [ -n "$differing" ]; then
    printf '%s\n' "$differing"
    echo "check_format: $(printf '%s\n' "$differing" | wc -l) of ${#files[@]} files differ" \
         "from .clang-format; scripts/check_format.sh --fix rewrites them" >&2
    exit 1
fi
echo "check_format: all ${#files[@]} files follow .clang-format"
