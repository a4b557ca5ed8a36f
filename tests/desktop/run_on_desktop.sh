#!/usr/bin/env bash
# Runs a command on a desktop without a screen: an X server (Xvfb) with the openbox window
# manager, or the Weston compositor with its headless back end and Qt's Wayland plugin. Each
# server is private to this run, waited for until it answers, and ended afterwards. Prints
# "SKIPPED: ..." when a server or tool is not installed.
# Usage: run_on_desktop.sh openbox|weston COMMAND [ARGUMENT ...]
set -uo pipefail
kind=${1:?usage: run_on_desktop.sh openbox|weston COMMAND [ARGUMENT ...]}
shift
# Bounds for a loaded machine; a server that never answers still ends the run.
start_limit=30

work=$(mktemp -d)
servers=()
cleanup() {
    for pid in "${servers[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

skip() {
    echo "SKIPPED: $1"
    exit 0
}

need() {
    command -v "$1" >/dev/null || skip "$1 is not installed (Debian package $2)"
}

# Waits until the command succeeds; fails after the start limit or when the server has ended.
wait_until() {
    local server=$1 deadline=$((SECONDS + start_limit))
    shift
    until "$@" >/dev/null 2>&1; do
        kill -0 "$server" 2>/dev/null || { echo "the server ended"; return 1; }
        ((SECONDS < deadline)) || { echo "no answer after $start_limit s: $*"; return 1; }
        sleep 0.2
    done
}

case $kind in
openbox)
    need Xvfb xvfb
    need openbox openbox
    need xprop x11-utils
    need xwininfo x11-utils
    need xdotool xdotool
    # Xvfb picks a free display number and writes it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    servers+=($!)
    wait_until "${servers[0]}" test -s "$work/display" || { cat "$work/xvfb.log"; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    # Its own settings folder, so that the user's openbox configuration plays no part.
    XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
    servers+=($!)
    # The window manager announces itself on the root window when it runs.
    wait_until "${servers[1]}" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { cat "$work/openbox.log"; exit 1; }
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    ;;
weston)
    need weston weston
    [[ -n $(find /usr/lib -path '*qt6/plugins/platforms/libqwayland-generic.so' -print -quit) ]] ||
        skip "Qt's Wayland plugin is not installed (Debian package qt6-wayland)"
    # The compositor's socket in a folder of this run, reachable by this user only.
    runtime="$work/runtime"
    mkdir -m 0700 "$runtime"
    XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket=wayland-zuvora \
        --idle-time=0 --width=1280 --height=1024 >"$work/weston.log" 2>&1 &
    servers+=($!)
    wait_until "${servers[0]}" test -S "$runtime/wayland-zuvora" || { cat "$work/weston.log"; exit 1; }
    # A full path: the program may change its own XDG_RUNTIME_DIR.
    export WAYLAND_DISPLAY="$runtime/wayland-zuvora"
    unset DISPLAY
    export QT_QPA_PLATFORM=wayland
    ;;
*)
    echo "unknown desktop: $kind"
    exit 2
    ;;
esac

"$@"
