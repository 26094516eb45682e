#!/usr/bin/env bash
# Runs a Windows program under the build tree's Wine session, starting the
# session first if needed. CTest uses it as the cross-compiling emulator:
#   run.sh STATE program.exe [arguments...]
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
state=${1:?usage: run.sh STATE program [arguments...]}
shift
"$here/session.sh" start "$state" || exit 1
eval "$("$here/session.sh" env "$state")"

# The program's output goes through a file, not straight to our caller:
# helper processes that Wine starts on the way (the desktop, services)
# outlive the program and would keep a pipe to CTest open.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
exit $status
