#!/usr/bin/env bash
# The Wine session of one build tree: a private prefix (32-bit, or 64-bit
# for the win64 build, as the build wrote into STATE/arch), a persistent
# wineserver and an Xvfb display, all kept in one state folder.
#
#   session.sh start STATE   start what is not running (idempotent)
#   session.sh stop STATE    stop the wineserver and the display
#   session.sh env STATE     print the environment for running a program
#   session.sh template STATE  print the booted prefix that new ones copy
#   session.sh start-monitors STATE   a second display of two monitors, and
#                                     a prefix and wineserver of its own
#   session.sh stop-monitors STATE    stop them (stop stops them too)
#   session.sh env-monitors STATE     the environment for running on it
set -euo pipefail

action=${1:?usage: session.sh start|stop|env STATE}
state=${2:?usage: session.sh start|stop|env STATE}
mkdir -p "$state"
state=$(cd "$state" && pwd)

arch=$(cat "$state/arch" 2>/dev/null || echo win32)
export WINEPREFIX="$state/prefix"
export WINEARCH=$arch
export WINEDEBUG=-all
# No prompts to install Mono or Gecko into the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
screen_geometry=${REDIRA_SCREEN:-1024x768x24}

# The 64-bit build runs under Wine's 64-bit loader alone. A 64-bit prefix
# would also set up its 32-bit half, through the 32-bit loader, which on a
# kernel without 32-bit programs runs under an emulator for many minutes.
# A private copy of the loader, beside the real libraries but with a
# 32-bit loader that refuses at once, gives a prefix without that half:
# the programs and every Wine program the tests start are 64-bit.
wine64_tree="$state/wine64"
make_wine64_tree() {
    [ -x "$wine64_tree/bin/wine" ] && return 0
    local lib=/usr/lib/x86_64-linux-gnu/wine
    [ -x /usr/lib/wine/wine64 ] && [ -d "$lib/x86_64-unix" ] \
        || { echo "session: Wine's 64-bit loader (package wine64) is missing" >&2; exit 1; }
    rm -rf "$wine64_tree"
    mkdir -p "$wine64_tree/lib/wine" "$wine64_tree/lib/x86_64-linux-gnu/wine" \
        "$wine64_tree/share" "$wine64_tree/bin"
    # The loader finds its libraries and data relative to its own place.
    cp /usr/lib/wine/wine64 "$wine64_tree/lib/wine/wine64"
    printf '#!/bin/sh\nexit 1\n' >"$wine64_tree/lib/wine/wine"
    chmod +x "$wine64_tree/lib/wine/wine"
    ln -s "$lib/x86_64-unix" "$lib/x86_64-windows" "$wine64_tree/lib/x86_64-linux-gnu/wine/"
    ln -s /usr/share/wine "$wine64_tree/share/wine"
    # wine, wineboot and wineserver on PATH, as the tests call them.
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$wine64_tree/lib/wine/wine64" >"$wine64_tree/bin/wine"
    printf '#!/bin/sh\nexec "%s" wineboot "$@"\n' "$wine64_tree/lib/wine/wine64" >"$wine64_tree/bin/wineboot"
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$wine64_tree/bin/wineserver"
    chmod +x "$wine64_tree/bin/wine" "$wine64_tree/bin/wineboot" "$wine64_tree/bin/wineserver"
}
if [ "$arch" = win64 ]; then
    make_wine64_tree
    export WINELOADER="$wine64_tree/lib/wine/wine64" WINESERVER=/usr/lib/wine/wineserver64
    export PATH="$wine64_tree/bin:$PATH"
fi

# An X server in the background, its files in folder DIR under NAME (the
# pid in NAME.pid, its output in NAME.log) and its display in DIR/display;
# the rest is its command line. -displayfd lets it choose a free display
# and tell us which.
x_alive() {  # DIR NAME
    [ -f "$1/display" ] && [ -f "$1/$2.pid" ] && kill -0 "$(cat "$1/$2.pid")" 2>/dev/null
}

start_x() {  # DIR NAME COMMAND...
    local dir=$1 name=$2 program=$3
    shift 2
    rm -f "$dir/display" "$dir/$name.pid"
    exec {fd}>"$dir/display.tmp"
    setsid "$@" -displayfd "$fd" </dev/null >"$dir/$name.log" 2>&1 {lock}>&- &
    echo $! >"$dir/$name.pid"
    exec {fd}>&-
    for _ in $(seq 100); do
        [ -s "$dir/display.tmp" ] && break
        sleep 0.1
    done
    [ -s "$dir/display.tmp" ] || { echo "session: $program did not start; see $dir/$name.log" >&2; exit 1; }
    echo ":$(tr -d '\n' <"$dir/display.tmp")" >"$dir/display"
    rm -f "$dir/display.tmp"
}

stop_x() {  # DIR NAME
    if [ -f "$1/$2.pid" ]; then
        kill "$(cat "$1/$2.pid")" 2>/dev/null || true
    fi
    rm -f "$1/display" "$1/$2.pid"
}

# The two-monitor display: Xorg with the dummy video driver, one screen
# with two outputs, a 1024 x 768 monitor (the primary) and an 800 x 600 one
# right of it. Wine takes the monitors from RandR (the 64-bit Wine 8 fails
# on a layout of two Xinerama screens and reports one monitor). Its own
# configuration, log and free display number; no input devices and no
# virtual terminal, so that it runs in a container. Wine keeps the monitors
# of a session in its server, so programs on this display run in a prefix
# of their own, state/monitors/prefix, with a wineserver of their own.
monitors="$state/monitors"

write_monitors_config() {
    mkdir -p "$monitors/xorg.conf.d"
    cat >"$monitors/xorg.conf.d/10-no-input.conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
CONF
    cat >"$monitors/xorg.conf" <<'CONF'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
    Option "Monitor-DUMMY0" "first"
    Option "Monitor-DUMMY1" "second"
EndSection
Section "Monitor"
    Identifier "first"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
    Option "PreferredMode" "1024x768"
    Option "Primary" "true"
EndSection
Section "Monitor"
    Identifier "second"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628 +hsync +vsync
    Option "PreferredMode" "800x600"
    Option "Enable" "true"
    Option "RightOf" "first"
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "first"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 1824 768
    EndSubSection
EndSection
Section "ServerLayout"
    Identifier "two monitors"
    Screen "screen"
EndSection
CONF
}

start_monitors_display() {
    x_alive "$monitors" xorg && return 0
    command -v Xorg >/dev/null && [ -f /usr/lib/xorg/modules/drivers/dummy_drv.so ] \
        || { echo "session: Xorg with the dummy driver is missing (scripts/setup.sh)" >&2; exit 1; }
    write_monitors_config
    start_x "$monitors" xorg Xorg -config "$monitors/xorg.conf" \
        -configdir "$monitors/xorg.conf.d" -logfile "$monitors/xorg.server.log" \
        -noreset -nolisten tcp -novtswitch -sharevts
}

stop_monitors() {
    if [ -d "$monitors/prefix" ]; then
        WINEPREFIX="$monitors/prefix" wineserver -k 2>/dev/null || true
    fi
    stop_x "$monitors" xorg
}

# A booted prefix is kept once per machine and Wine version, so that every
# build tree (and every test that wants a fresh prefix) copies it instead of
# booting anew: under an emulated loader a boot takes minutes.
template_dir() {
    local version
    version=$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' '_')
    echo "${REDIRA_WINE_CACHE:-/var/cache/redira}/prefix-$arch-$version"
}

# Boots a new prefix. The first program waits for the boot only so long,
# and on a slow machine it gives up while the boot goes on; so keep
# asking until a program runs, then wait for the boot's own processes.
boot_prefix() {
    wineboot -i </dev/null >"$state/wineboot.log" 2>&1 {lock}>&- || true
    local deadline=$((SECONDS + ${REDIRA_WINE_BOOT_SECONDS:-2400}))
    until wine cmd.exe /c exit 0 </dev/null >>"$state/wineboot.log" 2>&1 {lock}>&-; do
        if [ $SECONDS -ge $deadline ]; then
            echo "session: the Wine prefix did not boot; see $state/wineboot.log" >&2
            exit 1
        fi
        sleep 5
    done
    # Without a window manager Wine waits two seconds for every managed
    # top-level window it destroys; unmanaged windows end at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >>"$state/wineboot.log" 2>&1 {lock}>&-
    # Let the server write the registry out and end with the boot's
    # helpers, so that the prefix is complete on disk.
    wineserver -k </dev/null >/dev/null 2>&1 {lock}>&- || true
    wineserver -w </dev/null >/dev/null 2>&1 {lock}>&- || true
}

make_prefix() {
    local template
    template=$(template_dir)
    rm -rf "$WINEPREFIX"
    if [ -f "$template/.redira-ready" ]; then
        cp -a "$template" "$WINEPREFIX"
        return
    fi
    mkdir -p "$WINEPREFIX"
    boot_prefix
    touch "$WINEPREFIX/.redira-ready"
    # Keep a copy for the next build tree; a failure here costs only time.
    if mkdir -p "$(dirname "$template")" 2>/dev/null; then
        local partial="$template.$$"
        rm -rf "$partial"
        cp -a "$WINEPREFIX" "$partial" && mv -T "$partial" "$template" 2>/dev/null \
            || rm -rf "$partial"
    fi
}

# Wine in $WINEPREFIX on the display of the folder given.
start_wine() {
    export DISPLAY
    DISPLAY=$(cat "$1/display")
    [ -f "$WINEPREFIX/.redira-ready" ] || make_prefix
    # A persistent server saves about two seconds at every program start;
    # when one is running already this does nothing.
    wineserver -p </dev/null >/dev/null 2>&1 {lock}>&- || true
}

# The environment for running a program in the prefix given, on the
# display of the folder given.
print_env() {  # PREFIX DIR
    echo "export WINEPREFIX='$1' WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$(cat "$2/display" 2>/dev/null)'"
    if [ "$arch" = win64 ]; then
        echo "export WINELOADER='$WINELOADER' WINESERVER='$WINESERVER' PATH='$PATH'"
    fi
}

case "$action" in
start-monitors)
    exec {lock}>"$state/lock"
    flock "$lock"
    mkdir -p "$monitors"
    start_monitors_display
    export WINEPREFIX="$monitors/prefix"
    start_wine "$monitors"
    ;;
stop-monitors)
    exec {lock}>"$state/lock"
    flock "$lock"
    stop_monitors
    ;;
env-monitors)
    print_env "$monitors/prefix" "$monitors"
    ;;
start)
    exec {lock}>"$state/lock"
    flock "$lock"
    x_alive "$state" xvfb || start_x "$state" xvfb Xvfb -screen 0 "$screen_geometry" -nolisten tcp
    start_wine "$state"
    ;;
stop)
    exec {lock}>"$state/lock"
    flock "$lock"
    wineserver -k 2>/dev/null || true
    stop_monitors
    stop_x "$state" xvfb
    ;;
template)
    # The booted prefix that new prefixes copy, once a session has made it.
    template=$(template_dir)
    [ -f "$template/.redira-ready" ] && echo "$template"
    ;;
env)
    print_env "$WINEPREFIX" "$state"
    ;;
*)
    echo "session: unknown action $action" >&2
    exit 2
    ;;
esac
