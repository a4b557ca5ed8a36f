#!/usr/bin/env bash
# The desktop's media keys driving a real mpv run: the program on a private session bus plays a
# generated sound file through mpv; playerctl pauses, seeks and sets the volume, and mpv's own
# properties, read through its control socket, show that it did.
# Usage: playerctl_mpv_test.sh <zuvora executable>
set -euo pipefail
program=$(realpath "$1")
command -v mpv >/dev/null || { echo "mpv is not installed"; exit 77; }
if [[ -z ${ZUVORA_TEST_PRIVATE_BUS:-} ]]; then
    exec env ZUVORA_TEST_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pid=
followers=()
cleanup() {
    if [[ -n $pid ]]; then
        # The player it started, by its id, before the program goes.
        for child in $(ps -o pid= --ppid "$pid" 2>/dev/null); do kill -9 "$child" || true; done
        kill -9 "$pid" 2>/dev/null || true
    fi
    for follower in "${followers[@]}"; do kill "$follower" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    for heard in statuses seeks; do
        [[ ! -f $work/$heard ]] || { echo "--- $heard signalled:" >&2; cat "$work/$heard" >&2; }
    done
    [[ ! -s $work/program.out ]] || { echo "--- program output:" >&2; cat "$work/program.out" >&2; }
    exit 1
}

# shellcheck source=wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait_for.sh"

# Thirty seconds of a quiet tone: long enough to seek to 10 s and to move on from there.
clip="$work/media folder/tone.wav"
mkdir -p "$work/media folder"
python3 - "$clip" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as out:
    out.setnchannels(1)
    out.setsampwidth(2)
    out.setframerate(8000)
    out.writeframes(b"".join(struct.pack("<h", int(1000 * math.sin(i * 0.3)))
                             for i in range(8000 * 30)))
PY

home=$work/home
mkdir -p "$home/config/zuvora" "$home/runtime"
chmod 700 "$home/runtime"
# mpv chosen, no picture and no sound device.
printf '[Main]\r\nParameters=--vo=null --ao=null\r\n[Player]\r\nPlayer=2\r\n' \
    >"$home/config/zuvora/zuv.ini"
: >"$home/config/zuvora/equalizer.ini"

start_program() {
    env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$work" QT_QPA_PLATFORM=offscreen \
        "$program" "$1" >"$work/program.out" 2>&1 &
    pid=$!
}
quit_program() {
    mpris --method org.mpris.MediaPlayer2.Quit >/dev/null
    for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    wait "$pid" || fail "the program ended with $?"
    pid=
}
start_program "$clip"

mpris() {
    gdbus call --session --dest org.mpris.MediaPlayer2.zuvora --object-path /org/mpris/MediaPlayer2 "$@"
}
property() {
    mpris --method org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "$1"
}
status_is() { [[ $(playerctl -p zuvora status 2>/dev/null) == "$1" ]]; }
property_is() { [[ $(property "$1" 2>/dev/null) == "(<$2>,)" ]]; }
can_pause_is() { property_is CanPause "$1"; }
# The position in whole seconds, as playerctl gives it ("12.345678").
seconds() { local at; at=$(playerctl -p zuvora position 2>/dev/null) || return 1; echo "${at%.*}"; }
position_within() { local s; s=$(seconds) && ((s >= $1 && s <= $2)); }

# mpv's own word on a property, through the socket the program gave it.
socket() { find "$home/runtime" -maxdepth 1 -type s -name 'zuv-mpv-*' | head -n1; }
mpv_property() {
    python3 - "$(socket)" "$1" <<'PY'
import json, socket, sys
link = socket.socket(socket.AF_UNIX)
link.settimeout(5)
link.connect(sys.argv[1])
link.sendall((json.dumps({"command": ["get_property", sys.argv[2]], "request_id": 77}) + "\n").encode())
data = b""
while True:
    data += link.recv(4096)
    for line in data.split(b"\n"):
        if line.strip():
            answer = json.loads(line)
            if answer.get("request_id") == 77:
                print(json.dumps(answer.get("data")))
                sys.exit(0)
PY
}
mpv_says() { [[ $(mpv_property "$1" 2>/dev/null) == "$2" ]]; }

wait_for "playerctl lists the program" bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'
status_is Stopped || fail "not Stopped at first"
can_pause_is false || fail "CanPause before a run: $(property CanPause)"
playerctl -p zuvora --follow status >"$work/statuses" &
followers+=($!)
dbus-monitor --session "type='signal',interface='org.mpris.MediaPlayer2.Player',member='Seeked'" \
    >"$work/seeks" 2>/dev/null &
followers+=($!)
wait_for "the status follower has begun" grep -q Stopped "$work/statuses"

playerctl -p zuvora play
wait_for "Playing after play" status_is Playing
wait_for "CanPause once mpv answers" can_pause_is true
[[ $(property CanSeek) == "(<true>,)" ]] || fail "CanSeek: $(property CanSeek)"
[[ -n $(socket) ]] || fail "no control socket in the runtime folder"
[[ $(stat -c %U "$(socket)") == $(id -un) ]] || fail "the socket is not ours"
wait_for "the length mpv told" bash -c \
    "[[ \$(playerctl -p zuvora metadata mpris:length 2>/dev/null) == 30000000 ]]"
wait_for "mpv plays" mpv_says pause false
wait_for "the position moves" position_within 1 9

playerctl -p zuvora play-pause
wait_for "Paused after play-pause" status_is Paused
wait_for "mpv is paused" mpv_says pause true
# Standing still; the settling of --ao=null's buffer may move it back a little, never on.
paused_at=$(playerctl -p zuvora position)
sleep 1
later=$(playerctl -p zuvora position)
awk -v a="$paused_at" -v b="$later" 'BEGIN{exit !(b<=a && b>a-0.5)}' ||
    fail "the position moved while paused: $paused_at, then $later"

playerctl -p zuvora position 10
near_10() { awk -v t="$1" 'BEGIN{exit !(t>=9.5&&t<10.5)}'; }
position_near_10() { local at; at=$(playerctl -p zuvora position 2>/dev/null) && near_10 "$at"; }
wait_for "the position after seeking to 10" position_near_10
# Near 10 s: paused with --ao=null, mpv's time-pos settles a buffer's length (~0.15 s) before.
mpv_at_10() { local at; at=$(mpv_property time-pos) && near_10 "$at"; }
wait_for "mpv's time-pos after the seek: $(mpv_property time-pos)" mpv_at_10
wait_for "Seeked signalled with 10 s" grep -qE "int64 (9[5-9]|10[0-4])[0-9]{5}$" "$work/seeks"

playerctl -p zuvora volume 0.5
wait_for "mpv's volume halved" mpv_says volume 50.0
[[ $(playerctl -p zuvora volume) == 0.5* ]] || fail "Volume: $(playerctl -p zuvora volume)"

playerctl -p zuvora play-pause
wait_for "Playing again" status_is Playing
wait_for "mpv plays again" mpv_says pause false
wait_for "the position moves on from 10" position_within 11 29

playerctl -p zuvora stop
wait_for "Stopped after stop" status_is Stopped
wait_for "the socket is gone with the run" bash -c "[[ -z \$(find '$home/runtime' -name 'zuv-mpv-*') ]]"
can_pause_is false || fail "CanPause after the run"
[[ $(playerctl -p zuvora position) == 0* ]] || fail "a position after the run"

followed() { [[ $(grep -v '^$' "$work/statuses" | uniq) == "$(printf '%s\n' "$@")" ]]; }
wait_for "the signalled statuses" followed Stopped Playing Paused Playing Stopped
quit_program

# A pipe cannot be sought in: mpv says so, the media keys offer no seeking and send none.
pipe="$work/media folder/tone pipe.wav"
mkfifo "$pipe"
cat "$clip" >"$pipe" &
followers+=($!)
start_program "$pipe"
wait_for "playerctl lists the program again" bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'
wait_for "CanPlay with the pipe" property_is CanPlay true
playerctl -p zuvora play
wait_for "CanPause once mpv answers on the pipe" can_pause_is true
wait_for "mpv finds the pipe unseekable" mpv_says seekable false
wait_for "CanSeek false on the pipe" property_is CanSeek false
seeks_before=$(grep -c "int64" "$work/seeks" || true)
# playerctl itself sends no seek where CanSeek is false; a client that does is not obeyed.
! playerctl -p zuvora position 20 2>/dev/null || fail "playerctl could seek on the pipe"
mpris --method org.mpris.MediaPlayer2.Player.Seek 20000000 >/dev/null
sleep 1
(($(grep -c "int64" "$work/seeks" || true) == seeks_before)) || fail "a seek was signalled on the pipe"
position_within 0 9 || fail "the position jumped on the pipe: $(playerctl -p zuvora position)"
quit_program
echo "media keys on mpv: all checks passed"
