#!/usr/bin/env bash
# The Wine session of one build tree: a private 32-bit prefix, a persistent
# wineserver and an Xvfb display, all kept in one state folder.
#
#   session.sh start STATE   start what is not running (idempotent)
#   session.sh stop STATE    stop the wineserver and the display
#   session.sh env STATE     print the environment for running a program
set -euo pipefail

action=${1:?usage: session.sh start|stop|env STATE}
state=${2:?usage: session.sh start|stop|env STATE}
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No prompts to install Mono or Gecko into the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
screen_geometry=${REDIRA_SCREEN:-1024x768x24}

display_alive() {
    [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ] \
        && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
    display_alive && return 0
    rm -f "$state/display" "$state/xvfb.pid"
    # -displayfd lets Xvfb choose a free display and tell us which.
    exec {fd}>"$state/display.tmp"
    setsid Xvfb -displayfd "$fd" -screen 0 "$screen_geometry" -nolisten tcp \
        </dev/null >"$state/xvfb.log" 2>&1 {lock}>&- &
    echo $! >"$state/xvfb.pid"
    exec {fd}>&-
    for _ in $(seq 100); do
        [ -s "$state/display.tmp" ] && break
        sleep 0.1
    done
    [ -s "$state/display.tmp" ] || { echo "session: Xvfb did not start" >&2; exit 1; }
    echo ":$(tr -d '\n' <"$state/display.tmp")" >"$state/display"
    rm -f "$state/display.tmp"
}

start_wine() {
    export DISPLAY
    DISPLAY=$(cat "$state/display")
    mkdir -p "$WINEPREFIX"
    # A persistent server saves about two seconds at every program start;
    # when one is running already this does nothing.
    wineserver -p </dev/null >/dev/null 2>&1 {lock}>&- || true
    if [ ! -f "$WINEPREFIX/.redira-ready" ]; then
        wineboot -i </dev/null >"$state/wineboot.log" 2>&1 {lock}>&-
        # Without a window manager Wine waits two seconds for every managed
        # top-level window it destroys; unmanaged windows end at once.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            </dev/null >>"$state/wineboot.log" 2>&1 {lock}>&-
        touch "$WINEPREFIX/.redira-ready"
    fi
}

case "$action" in
start)
    exec {lock}>"$state/lock"
    flock "$lock"
    start_display
    start_wine
    ;;
stop)
    exec {lock}>"$state/lock"
    flock "$lock"
    wineserver -k 2>/dev/null || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    fi
    rm -f "$state/display" "$state/xvfb.pid"
    ;;
env)
    echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$(cat "$state/display" 2>/dev/null)'"
    ;;
*)
    echo "session: unknown action $action" >&2
    exit 2
    ;;
esac
