#!/usr/bin/env bash
# Sets the machine up and builds the deliverables for Windows.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

"$repo/scripts/setup.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32

echo
echo "Built the deliverables in $repo/build/win32/bin:"
ls -1 "$repo/build/win32/bin" | grep -Ei '\.(scr|dll|exe)$' | grep -v _test | sed 's/^/  /'
echo "The saver does not show its puzzle yet; this command will start it full-screen under Wine once it does."
