#!/usr/bin/env bash
# Sets the machine up, builds both trees and runs every test:
# the native unit tests (and fuzz targets, briefly) and the Windows-side
# tests under Wine.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

"$repo/scripts/setup.sh"

status=0
for preset in native win32; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: test"
    ctest --preset "$preset" || status=1
done
exit $status
