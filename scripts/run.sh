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
#
# On a kernel that runs no 32-bit programs (see the README), 32-bit Wine
# runs under an emulator and is very slow; there it runs the 64-bit build
# of the same sources (build/win64) instead, and says so.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
mode=${1:-/s}

"$repo/scripts/setup.sh"
tree=win32
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && [ "${REDIRA_EMULATED_WINE:-0}" != 1 ]; then
    tree=win64
    echo "This kernel runs no 32-bit programs: running the 64-bit build of the same sources."
fi
build="$repo/build/$tree"
cmake --preset "$tree" >/dev/null
case "$mode" in
install | /install)
    # The installer writes into the Windows directory and changes the
    # desktop's saver: it gets a prefix of its own.
    cmake --build --preset "$tree" --target SaverSetup
    state="$build/run-setup"
    ;;
*)
    cmake --build --preset "$tree" --target Redira saver_probe
    state="$build/run"
    ;;
esac
saver="$build/bin/Redira.scr"
if [ "$tree" = win64 ]; then
    # The 64-bit prefix needs the session's own loader set-up.
    mkdir -p "$state"
    echo win64 >"$state/arch"
    user_display=${DISPLAY:-}
    "$repo/tools/wine/session.sh" start "$state"
    eval "$("$repo/tools/wine/session.sh" env "$state")"
    trap '"$repo/tools/wine/session.sh" stop "$state"' EXIT
    if [ -n "$user_display" ]; then
        DISPLAY=$user_display
        echo "It runs on your display $DISPLAY."
    else
        echo "No DISPLAY is set: it runs on a private Xvfb display, $DISPLAY."
        echo "  Look at it:   DISPLAY=$DISPLAY import -window root redira.png"
    fi
elif [ -n "${DISPLAY:-}" ]; then
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
    wine "$build/tests/saver_probe.exe" preview "$saver" 320 240 \
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
    wine "$build/bin/SaverSetup.exe" || status=$?
    echo "The installer ended with exit code $status (1: installed, 2: cancelled)."
    ;;
*)
    echo "usage: scripts/run.sh [/s | /c | /p | install]" >&2
    exit 2
    ;;
esac
