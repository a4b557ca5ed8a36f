#!/usr/bin/env bash
# On an X display without a session bus (no address, no $XDG_RUNTIME_DIR/bus) the program plays
# and ends without starting a bus: the D-Bus library would otherwise launch one through
# dbus-launch on the display, and that daemon outlives the program.
# Usage: no_session_bus_test.sh <zuvora executable>
# Exits 77 (skipped) when Xvfb or dbus-launch is missing: without them nothing could launch.
set -euo pipefail
program=$(realpath "$1")
for tool in Xvfb dbus-launch; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
# Every process the program starts inherits this mark, daemons that detach included; others'
# buses on this machine do not carry it.
mark="zuvora-bus-test-$$-$RANDOM"
pid=
xvfb=
marked() {
    local entry
    for entry in /proc/[0-9]*; do
        { tr '\0' '\n' <"$entry/environ"; } 2>/dev/null | grep -qx "ZUVORA_TEST_MARK=$mark" &&
            echo "${entry#/proc/} $(cat "$entry/comm" 2>/dev/null)"
    done
    return 0
}
cleanup() {
    [[ -z $pid ]] || kill -9 "$pid" 2>/dev/null || true
    local process _
    while read -r process _; do kill -9 "$process" 2>/dev/null || true; done < <(marked)
    [[ -z $xvfb ]] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    [[ ! -s $work/program.out ]] || { echo "--- program output:" >&2; cat "$work/program.out" >&2; }
    exit 1
}
# shellcheck source=wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait_for.sh"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wait_for "Xvfb answers" test -s "$work/display"
display=":$(head -n1 "$work/display")"

mkdir -p "$work/bin" "$work/home/config/zuvora" "$work/home/runtime"
chmod 700 "$work/home/runtime"
: >"$work/one.avi"
cat >"$work/bin/mplayer" <<SCRIPT
#!/bin/sh
case "\$1" in -list-options) echo "MPlayer FAKE-1.0 (C) test"; exit 1 ;; esac
for argument in "\$@"; do [ "\$argument" = "$work/one.avi" ] && echo played >>"$work/runs"; done
exec sleep 60
SCRIPT
chmod 755 "$work/bin/mplayer"

buses() { { pgrep -x dbus-daemon; pgrep -x dbus-launch; } | sort || true; }
before=$(buses)
# The window system and its accessibility bridge, the platform theme and the menu bar are Qt's
# own users of the session bus; all run here.
env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY -u AT_SPI_BUS_ADDRESS DISPLAY="$display" \
    QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 ZUVORA_TEST_MARK="$mark" HOME="$work/home" \
    XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    XDG_RUNTIME_DIR="$work/home/runtime" TMPDIR="$work" PATH="$work/bin:$PATH" \
    "$program" "$work/one.avi" /start >"$work/program.out" 2>&1 &
pid=$!
wait_for "the file plays" test -s "$work/runs"
sleep 1
kill -TERM "$pid"
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
code=0
wait "$pid" || code=$?
pid=
[[ $code == 0 ]] || fail "the program ended with $code"

# A launched bus would be a new daemon since the start, and ours by its mark.
sleep 0.5
new=$(comm -13 <(echo "$before") <(buses))
left=$(marked | grep -E ' dbus-(daemon|launch)$' || true)
[[ -z $left ]] || fail "left behind (new since the start: ${new//$'\n'/ }): $left"
# Nor does anything complain about the missing bus.
[[ ! -s $work/program.out ]] || fail "printed without a bus"
echo "no session bus: nothing launched"
