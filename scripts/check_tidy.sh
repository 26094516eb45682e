#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the native tree's
# sources - the cores and their tests - and fails on any finding.
# Configures the native tree first if it has no compile database yet.
# With FILE... (paths or regular expressions), checks only those.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

build=build/native
if [ ! -f "$build/compile_commands.json" ]; then
    cmake --preset native >/dev/null
fi
if [ $# -gt 0 ]; then
    targets=("$@")
else
    # Only the project's own sources, not GoogleTest's.
    targets=("$repo/(common|puzzle|imagelib|kit|setup|hotcorners|bench|tools)/")
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -j 2 -quiet -p "$build" "${targets[@]}" >"$log" 2>/dev/null || status=1
# A header's findings come once for every file that includes it.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error):' | sort -u || true)
if [ -n "$findings" ] || [ "$status" != 0 ]; then
    if [ -n "$findings" ]; then
        printf '%s\n' "$findings"
        echo "check_tidy: $(printf '%s\n' "$findings" | wc -l) findings" >&2
    else
        sed 's/\x1b\[[0-9;]*m//g' "$log" | tail -n 40 >&2
        echo "check_tidy: clang-tidy failed" >&2
    fi
    exit 1
fi
echo "check_tidy: nothing found"
