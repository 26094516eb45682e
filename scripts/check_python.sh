#!/usr/bin/env bash
# Checks the Python test drivers, benches and tools with pyflakes (unused
# imports and names, undefined names, shadowed loop variables, ...).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.py' |
                     while read -r f; do [ -f "$f" ] && printf '%s\n' "$f"; done)
if ! pyflakes3 "${files[@]}"; then
    echo "check_python: pyflakes found the above" >&2
    exit 1
fi
echo "check_python: ${#files[@]} files, nothing found"
