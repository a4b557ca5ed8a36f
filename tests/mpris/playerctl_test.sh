#!/usr/bin/env bash
# The desktop's media controls as a desktop drives them: the program on a private session bus,
# with playerctl and gdbus as the clients; then without any session bus, where the program plays
# as before and says nothing.
# Usage: playerctl_test.sh <zuvora executable>
set -euo pipefail
program=$(realpath "$1")
# A session bus of our own, gone with this script.
if [[ -z ${ZUVORA_TEST_PRIVATE_BUS:-} ]]; then
    exec env ZUVORA_TEST_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pid=
followers=()
cleanup() {
    [[ -z $pid ]] || kill -9 "$pid" 2>/dev/null || true
    for follower in "${followers[@]}"; do kill "$follower" 2>/dev/null || true; done
    # Players that a copy which did not end in order left behind.
    if [[ -f $work/players ]]; then
        while read -r player; do kill -9 "$player" 2>/dev/null || true; done <"$work/players"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    for heard in statuses titles; do
        [[ ! -f $work/$heard ]] || { echo "--- $heard signalled:" >&2; cat "$work/$heard" >&2; }
    done
    [[ ! -f $work/runs ]] || { echo "--- player runs:" >&2; od -c "$work/runs" >&2; }
    [[ ! -s $work/program.out ]] || { echo "--- program output:" >&2; cat "$work/program.out" >&2; }
    exit 1
}

# shellcheck source=wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait_for.sh"

media="$work/media folder"
mkdir -p "$media" "$work/bin"
for name in one.avi "two film.avi" three.avi four.avi; do : >"$media/$name"; done

# The player found on PATH: answers the version question and the size probe (with a length),
# notes the media file of each run, prints a length of its own for three.avi as the player does
# when asked to identify, and plays (sleeps) until Stop ends it.
cat >"$work/bin/mplayer" <<SCRIPT
#!/bin/sh
case "\$1" in
-list-options) echo "MPlayer FAKE-1.0 (C) test"; exit 1 ;;
-frames) printf 'ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\nID_LENGTH=61.50\n'; exit 0 ;;
esac
for argument in "\$@"; do
    case "\$argument" in
    "$media"/*) printf '%s\n' "\$argument" >>"$work/runs" ;;
    esac
    case "\$argument" in
    */three.avi) echo "ID_LENGTH=7.25" ;;
    esac
done
echo \$\$ >>"$work/players"
exec sleep 60
SCRIPT
chmod 755 "$work/bin/mplayer"

# A profile of its own: configuration, playlist (shown when it has items) and presets, nothing
# next to the program.
profile() {
    local home=$work/$1
    mkdir -p "$home/config/zuvora" "$home/runtime"
    chmod 700 "$home/runtime"
    # Black bands: the size probe runs before each run.
    printf '[Main]\r\nPlaylist=%d\r\n[Video]\r\nExpand=1\r\n' \
        "$([[ -n ${2:-} ]] && echo 1 || echo 0)" >"$home/config/zuvora/zuv.ini"
    printf '%s' "${2:-}" >"$home/config/zuvora/playlist.txt"
    : >"$home/config/zuvora/equalizer.ini"
}

# Starts the program in the background with a profile; its output goes to program.out.
# Usage: start_program PROFILE [env setting ...] -- [program argument ...]
start_program() {
    local home=$work/$1
    shift
    local -a settings=()
    while [[ $1 != -- ]]; do
        settings+=("$1")
        shift
    done
    shift
    env "${settings[@]}" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$work" QT_QPA_PLATFORM=offscreen \
        PATH="${player_path:-$work/bin:$PATH}" "$program" "$@" >"$work/program.out" 2>&1 &
    pid=$!
}

ends_with_zero() {
    local code=0
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs"
    wait "$pid" || code=$?
    pid=
    [[ $code == 0 ]] || fail "the program ended with $code"
}

no_player_runs() {
    local player
    while read -r player; do
        [[ $(ps -o stat= -p "$player" 2>/dev/null || true) =~ ^[^Z] ]] && return 1
    done < <(cat "$work/players" 2>/dev/null)
    return 0
}

runs() { cat "$work/runs" 2>/dev/null || true; }
status_is() { [[ $(playerctl -p zuvora status 2>/dev/null) == "$1" ]]; }
metadata_is() { [[ $(playerctl -p zuvora metadata "$1" 2>/dev/null) == "$2" ]]; }
runs_are() { [[ $(runs) == "$(printf '%s\n' "$@")" ]]; }
url() { echo "file://${1// /%20}"; }

# --- On a session bus, a playlist of three.
profile desk "$(printf '%s|\r\n' "$media/one.avi" "$media/two film.avi" "$media/three.avi")"
start_program desk --
wait_for "playerctl lists the program" bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'

introspection=$(gdbus introspect --session --dest org.mpris.MediaPlayer2.zuvora \
    --object-path /org/mpris/MediaPlayer2)
for interface in org.mpris.MediaPlayer2 org.mpris.MediaPlayer2.Player; do
    grep -q "interface $interface {" <<<"$introspection" || fail "no interface $interface"
done
grep -q "readonly s Identity = 'Zuvora'" <<<"$introspection" || fail "Identity: $introspection"
status_is Stopped || fail "not Stopped at first"
# What a panel hears: the changes as they are signalled, not as they are asked for.
playerctl -p zuvora --follow status >"$work/statuses" &
followers+=($!)
playerctl -p zuvora --follow metadata xesam:title >"$work/titles" &
followers+=($!)
wait_for "the status follower has begun" grep -q Stopped "$work/statuses"

playerctl -p zuvora play
wait_for "Playing after play" status_is Playing
wait_for "the first item plays" runs_are "$media/one.avi"
metadata_is xesam:url "$(url "$media/one.avi")" || fail "url: $(playerctl metadata xesam:url)"
metadata_is xesam:title one.avi || fail "title"
metadata_is mpris:length 61500000 || fail "the length the size probe told"
# MPlayer takes no commands: no pausing or seeking, no position.
for name in CanPause CanSeek Position; do
    answer=$(gdbus call --session --dest org.mpris.MediaPlayer2.zuvora \
        --object-path /org/mpris/MediaPlayer2 --method org.freedesktop.DBus.Properties.Get \
        org.mpris.MediaPlayer2.Player "$name")
    [[ $answer == "(<false>,)" || $answer == "(<int64 0>,)" ]] || fail "$name of MPlayer: $answer"
done

playerctl -p zuvora next
wait_for "next plays the second item" runs_are "$media/one.avi" "$media/two film.avi"
wait_for "the second item's url" metadata_is xesam:url "$(url "$media/two film.avi")"
playerctl -p zuvora next
wait_for "next plays the third item" runs_are "$media/one.avi" "$media/two film.avi" \
    "$media/three.avi"
wait_for "the third item's url" metadata_is xesam:url "$(url "$media/three.avi")"
wait_for "the length the player printed" metadata_is mpris:length 7250000
playerctl -p zuvora previous
wait_for "previous plays the second item again" runs_are "$media/one.avi" "$media/two film.avi" \
    "$media/three.avi" "$media/two film.avi"
wait_for "the second item's url again" metadata_is xesam:url "$(url "$media/two film.avi")"
status_is Playing || fail "not Playing after previous"

playerctl -p zuvora stop
wait_for "Stopped after stop" status_is Stopped
wait_for "the player has ended" no_player_runs

playerctl -p zuvora open "$(url "$media/four.avi")"
wait_for "Playing after open" status_is Playing
wait_for "the opened file plays" bash -c "tail -n1 '$work/runs' | grep -qx '$media/four.avi'"
wait_for "the opened file's url" metadata_is xesam:url "$(url "$media/four.avi")"

# Signalled in order: each run's title as it began, and the status at each change.
followed() { [[ $(grep -v '^$' "$work/$1" | uniq) == "$(printf '%s\n' "${@:2}")" ]]; }
wait_for "the signalled titles" followed titles one.avi "two film.avi" three.avi \
    "two film.avi" four.avi
wait_for "the signalled statuses" followed statuses Stopped Playing Stopped \
    Playing
gdbus call --session --dest org.mpris.MediaPlayer2.zuvora --object-path /org/mpris/MediaPlayer2 \
    --method org.mpris.MediaPlayer2.Quit >/dev/null
ends_with_zero
grep -q '^\[Audio\]' "$work/desk/config/zuvora/zuv.ini" || fail "Quit did not store zuv.ini"
grep -q "four.avi" "$work/desk/config/zuvora/playlist.txt" || fail "Quit did not store the playlist"
no_player_runs || fail "a player outlived the program"
if playerctl -l 2>/dev/null | grep -q zuvora; then fail "the name outlived the program"; fi

# --- Hostile clients. Names the playlist file cannot hold back as they are ("|" splits a line,
# CR and LF end it) are refused with an error, and nothing of them is stored.
profile hostile "$(printf '%s|\r\n' "$media/one.avi")"
start_program hostile --
wait_for "playerctl lists the program (hostile)" bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'
m=${media// /%20}
for evil in "%7C$HOME/.bash_history" "%0D%0A$m/evil.avi%7C/etc/passwd" "%0A$m/evil.avi" \
    "%0D$m/evil.avi"; do
    answer=$(gdbus call --session --dest org.mpris.MediaPlayer2.zuvora \
        --object-path /org/mpris/MediaPlayer2 --method org.mpris.MediaPlayer2.Player.OpenUri \
        "$(url "$media/two film.avi")$evil" 2>&1) && fail "OpenUri took $evil: $answer"
    grep -q "cannot keep" <<<"$answer" || fail "OpenUri refused $evil without saying why: $answer"
done
gdbus call --session --dest org.mpris.MediaPlayer2.zuvora --object-path /org/mpris/MediaPlayer2 \
    --method org.mpris.MediaPlayer2.Quit >/dev/null
ends_with_zero
[[ $(cat "$work/hostile/config/zuvora/playlist.txt") == "$(printf '%s|\r' "$media/one.avi")" ]] ||
    fail "the playlist took a hostile name: $(cat -A "$work/hostile/config/zuvora/playlist.txt")"

# Quit while an error box that a call opened is showing (no player to start): the program ends
# in order when the box goes, after the exit steps ran inside the box's loop.
mkdir -p "$work/no-player"
for call in Player.Play "Player.OpenUri $(url "$media/one.avi")"; do
    profile boxed
    player_path="$work/no-player" start_program boxed --
    wait_for "playerctl lists the program (boxed)" \
        bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'
    # shellcheck disable=SC2086 # the method and its argument
    gdbus call --session --dest org.mpris.MediaPlayer2.zuvora \
        --object-path /org/mpris/MediaPlayer2 --method org.mpris.MediaPlayer2.$call >/dev/null
    gdbus call --session --dest org.mpris.MediaPlayer2.zuvora \
        --object-path /org/mpris/MediaPlayer2 --method org.mpris.MediaPlayer2.Quit >/dev/null
    wait_for "the name is gone after Quit ($call)" \
        bash -c '! playerctl -l 2>/dev/null | grep -q zuvora'
    # Quit ends the event loops, the box's too; should the box still wait for a click, a
    # request to end closes it.
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    ends_with_zero
    grep -q '^\[Audio\]' "$work/boxed/config/zuvora/zuv.ini" || fail "zuv.ini not stored ($call)"
done

# --- Names that are no UTF-8 (bytes FF FE) reach the player byte for byte, from the command
# line, a second copy's hand-over and OpenUri, and the desktop is told their exact URLs.
odd="$media/odd$(printf '\xff\xfe').avi"
odd2="$media/odd$(printf '\xe9').avi"
: >"$odd"
: >"$odd2"
odd_url="$(url "$media")/odd%FF%FE.avi"
rm -f "$work/runs"
profile odd
sed -i 's/^\[Main\]\r$/[Main]\r\nOneInstanceOnly=1\r/' "$work/odd/config/zuvora/zuv.ini"
start_program odd -- "$odd" /start
wait_for "the odd name plays from the command line" runs_are "$odd"
wait_for "playerctl lists the program (odd)" bash -c 'playerctl -l 2>/dev/null | grep -qx zuvora'
wait_for "the odd name's url" metadata_is xesam:url "$odd_url"
first=$pid
start_program odd -- "$odd2"
ends_with_zero
pid=$first
wait_for "the handed-over odd name plays" runs_are "$odd" "$odd2"
wait_for "the handed-over name's url" metadata_is xesam:url "$(url "$media")/odd%E9.avi"
playerctl -p zuvora stop
wait_for "Stopped (odd)" status_is Stopped
playerctl -p zuvora open "$odd_url"
wait_for "the odd name plays from OpenUri" runs_are "$odd" "$odd2" "$odd"
gdbus call --session --dest org.mpris.MediaPlayer2.zuvora --object-path /org/mpris/MediaPlayer2 \
    --method org.mpris.MediaPlayer2.Quit >/dev/null
ends_with_zero
grep -qF "$odd" "$work/odd/config/zuvora/zuv.ini" || fail "zuv.ini lost the odd name's bytes"

# --- Without a session bus: one address that leads nowhere, and none at all (nor a display
# to start one on). The file plays, nothing is printed.
for bus in "unix:path=$work/no-bus" none; do
    rm -f "$work/runs"
    profile quiet
    if [[ $bus == none ]]; then
        start_program quiet -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY \
            -- "$media/one.avi" /start
    else
        start_program quiet DBUS_SESSION_BUS_ADDRESS="$bus" -- "$media/one.avi" /start
    fi
    wait_for "the file plays without a bus ($bus)" runs_are "$media/one.avi"
    kill -TERM "$pid"
    ends_with_zero
    [[ ! -s $work/program.out ]] || fail "printed without a bus ($bus): $(cat "$work/program.out")"
done
echo "media controls: all checks passed"
