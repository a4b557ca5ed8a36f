#!/usr/bin/env bash
# zuvora.exe under Wine, headless, in a program folder of its own with a recording mplayer.exe:
# --version; the player's command line with Windows paths; a second copy handing its files to
# the first (the hidden window of the main window's class and the shared block) while that one
# plays: the player stops, the files play in turn, the end of a run starting the next item.
# Then with the windows platform on Wine's null display driver: the screen saver and monitor
# power-off commands sent to the main window are refused while the player runs and only then,
# and closing the window (taskkill) goes through the exit steps, which write zuv.ini.
# Usage: program_under_wine.sh WINE PROGRAM_FOLDER RECORDING_PLAYER COMMAND_SENDER WORK_FOLDER VERSION
set -euo pipefail
wine=$1 built=$2 player=$3 sender=$4 work=$5 version=$6

fail() { echo "FAILED: $*"; [[ -f "$log" ]] && { echo "--- player log"; cat "$log"; }; exit 1; }
# Windows path of a Linux path: the Linux root is the drive Z:.
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
wait_for() { # seconds, command...
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do ((SECONDS < deadline)) || return 1; sleep 0.3; done
}
player_runs() { [[ -f "$log" ]] && [[ $(grep -c -- "$1" "$log") -ge ${2:-1} ]]; }

rm -rf "$work"
mkdir -p "$work/media folder"
program=$work/program
cp -r "$built" "$program"
rm -f "$program/zuv.ini" "$program"/*.zpl
cp "$player" "$program/mplayer.exe"
log=$program/args.log
touch "$work/media folder/one.avi" "$work/media folder/two long.avi" "$work/media folder/three.avi"
media=$(windows_path "$work/media folder")
printf '[Main]\r\nOneInstanceOnly=1\r\nParameters=-speed 1.5\r\n' >"$program/zuv.ini"

answer=$("$wine" "$program/zuvora.exe" --version | tr -d '\r')
[[ "$answer" == "Zuvora $version" ]] || fail "--version answered '$answer'"

# A first copy playing a long file; a second copy hands two files over: the player stops, the
# first of them plays, and its end starts the next playlist item.
"$wine" "$program/zuvora.exe" -platform offscreen "$media\two long.avi" /start &
first=$!
trap 'kill -9 $first 2>/dev/null || true' EXIT
wait_for 60 player_runs 'two long' || fail "the first copy did not play its file"
"$wine" "$program/zuvora.exe" -platform offscreen "$media\one.avi" "$media\three.avi" ||
    fail "second copy"
wait_for 30 player_runs 'three.avi' || fail "the hand-over did not play both files in turn"
grep -qF -- "\"$media\two long.avi\"" "$log" || fail "a spaced Windows path is not quoted whole"
grep -qF -- "$media\one.avi" "$log" || fail "the first handed-over file did not play"
grep -q -- "-speed 1.5" "$log" || fail "the parameters field is not on the command line"
line_of() { grep -n -- "$1" "$log" | head -1 | cut -d: -f1; }
[[ $(line_of 'two long') -lt $(line_of 'one.avi') && $(line_of 'one.avi') -lt $(line_of 'three.avi') ]] ||
    fail "order of the runs"
echo "--- player log"
cat "$log"
kill -9 "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true

# The windows platform: real (invisible) windows that receive system commands.
commands() { "$wine" "$sender" | tr -d '\r'; }
"$wine" "$program/zuvora.exe" "$media\two long.avi" /start &
first=$!
wait_for 60 player_runs 'two long' 2 || fail "the windows platform: the file did not play"
answer=$(commands) || fail "no window of zuvora.exe found"
[[ "$answer" == "screensave=1 monitorpower=1" ]] || fail "while playing: $answer"
# A hand-over stops the player; the short file's run ends, and the commands pass again.
"$wine" "$program/zuvora.exe" "$media\one.avi" || fail "hand-over"
wait_for 30 player_runs 'one.avi' 2 || fail "the windows platform: no hand-over"
sleep 2
answer=$(commands) || fail "no window of zuvora.exe found"
[[ "$answer" == "screensave=0 monitorpower=0" ]] || fail "after the run: $answer"

rm -f "$program/zuv.ini"
"$wine" taskkill /im zuvora.exe >/dev/null 2>&1 || true
wait_for 30 test -f "$program/zuv.ini" || fail "closing the window wrote no zuv.ini"
wait "$first" || true
grep -q 'one.avi' "$program/zuv.ini" || fail "zuv.ini does not hold the last file"
echo "--- zuv.ini"
head -12 "$program/zuv.ini"
