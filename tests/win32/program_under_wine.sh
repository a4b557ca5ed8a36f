#!/usr/bin/env bash
# zuvora.exe under Wine, headless, in a program folder of its own with a recording mplayer.exe:
# --version; the player's command line with Windows paths; a second copy handing its files to
# the first (the hidden window of the main window's class and the shared block) while that one
# plays: the player stops, the files play in turn, the end of a run starting the next item.
# Usage: program_under_wine.sh WINE PROGRAM_FOLDER RECORDING_PLAYER WORK_FOLDER VERSION
set -euo pipefail
wine=$1 built=$2 player=$3 work=$4 version=$5

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
