#!/usr/bin/env bash
# Sets the machine up, builds the deliverables and runs the saver under Wine:
#
#   scripts/run.sh        the saver full screen, as the desktop starts it (/s)
#   scripts/run.sh /c     its settings dialog
#   scripts/run.sh /p     its preview, in a small window made for it
#   scripts/run.sh install   the installer SaverSetup.exe, in a prefix of its own
#
# It runs on your display ($DISPLAY); without one it starts a private Xvfb
# display and says how to look at it. Wine keeps its files in a private
# prefix in build/win32/run/, so your own ~/.wine is not touched.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
mode=${1:-/s}

"$repo/scripts/setup.sh"
cmake --preset win32 >/dev/null
case "$mode" in
install | /install)
    # The installer writes into the Windows directory and changes the
    # desktop's saver: it gets a prefix of its own.
    cmake --build --preset win32 --target SaverSetup
    state="$repo/build/win32/run-setup"
    ;;
*)
    cmake --build --preset win32 --target Redira saver_probe
    state="$repo/build/win32/run"
    ;;
esac
saver="$repo/build/win32/bin/Redira.scr"
if [ -n "${DISPLAY:-}" ]; then
    export WINEPREFIX="$state/prefix" WINEARCH=win32 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/.redira-ready" ]; then
        echo "Making the Wine prefix $WINEPREFIX (once)..."
        wineboot -i >/dev/null 2>&1
        touch "$WINEPREFIX/.redira-ready"
    fi
    echo "It runs on your display $DISPLAY."
else
    "$repo/tools/wine/session.sh" start "$state"
    eval "$("$repo/tools/wine/session.sh" env "$state")"
    trap '"$repo/tools/wine/session.sh" stop "$state"' EXIT
    echo "No DISPLAY is set: it runs on a private Xvfb display, $DISPLAY."
    echo "  Look at it:   DISPLAY=$DISPLAY import -window root redira.png"
    case "$mode" in
    install | /install)
        echo "  Install:      DISPLAY=$DISPLAY xdotool key Return   (then Return again to end)"
        ;;
    *)
        echo "  End it:       DISPLAY=$DISPLAY xdotool click 3"
        ;;
    esac
fi

case "$mode" in
/s | -s | s)
    echo "Play: left-click a tile, then another to swap them; SHIFT shows the misplaced"
    echo "tiles, F1 your progress. A right-click ends the saver."
    wine "$saver" /s
    ;;
/c | -c | c)
    wine "$saver" /c
    ;;
/p | -p | p)
    # The desktop gives the preview a window of its Display Properties
    # dialog; here the test helper makes one. (Wine 8 does not show what a
    # program draws inside another program's window, so under Wine the
    # window stays grey; on Windows it shows the board scaled down.)
    signal="$state/close-preview"
    rm -f "$signal"
    mkdir -p "$state"
    wine "$repo/build/win32/tests/saver_probe.exe" preview "$saver" 320 240 \
        "Z:${signal//\//\\}" &
    probe=$!
    read -r -p "The preview runs; press Enter to close its window. "
    touch "$signal"
    wait "$probe"
    ;;
install | /install)
    echo "The installer writes Corvane.scr and edgewake.dll into the prefix's Windows"
    echo "directory, makes Corvane.scr the desktop's saver and shows it in preview."
    status=0
    wine "$repo/build/win32/bin/SaverSetup.exe" || status=$?
    echo "The installer ended with exit code $status (1: installed, 2: cancelled)."
    ;;
*)
    echo "usage: scripts/run.sh [/s | /c | /p | install]" >&2
    exit 2
    ;;
esac
