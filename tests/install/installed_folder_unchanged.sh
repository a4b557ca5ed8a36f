#!/usr/bin/env bash
# An installed copy never writes into its program folder, whoever runs it: root, whose folder it
# is, and another user. The defaults a package or an administrator put there (zuv.ini,
# playlist.txt, equalizer.ini) give each user's first start, and each user's files land in that
# user's profile folder. Another user is made (zuvora-tester) when running as root.
# Usage: installed_folder_unchanged.sh <build folder>
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Every user must reach the installed program, and start in a folder of its own.
chmod 755 "$work"
cd "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
folder=$prefix/lib/zuvora
printf '[Audio]\r\nVolume=77\r\n' >"$folder/zuv.ini"
printf '/srv/films/welcome.avi|\r\n' >"$folder/playlist.txt"
printf '[Hall]\r\nValue=1:2:3:4:5:6:7:8:9:10\r\n' >"$folder/equalizer.ini"

# Names, kinds, modes, owners, sizes, times and contents of everything in the folder.
snapshot() {
    (cd "$folder" && find . -printf '%p %y %m %U %s %T@ %l\n' | sort &&
        find . -type f -exec sha256sum {} + | sort)
}
before=$(snapshot)

# The sanitizer build's settings go along; its leak suppressions where every user can read them.
sanitizer=()
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$work/leaks.supp"
    chmod 644 "$work/leaks.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$work/leaks.supp}
fi
for name in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [[ -z ${!name:-} ]] || sanitizer+=("$name=${!name}")
done

fail() {
    echo "$*" >&2
    exit 1
}

# Starts the installed program with a fresh profile and, once it is up (it listens for second
# copies), ends it with SIGTERM, which stores everything as closing the window does; then checks
# the folder and the profile.
run() {
    local user=$1
    local home=$work/home-$user
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    local -a as=()
    if [[ $user != "$(id -un)" ]]; then
        chown -R "$user" "$home"
        # setpriv hands over the process itself, so that the signal reaches the program.
        as=(setpriv --reuid="$user" --regid="$user" --init-groups)
    fi
    "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=offscreen \
        "${sanitizer[@]}" "$prefix/bin/zuvora" &
    local pid=$! status=0
    for ((tenths = 0; tenths < 600; tenths++)); do
        [[ -z $(find "$home/runtime" -type s) ]] || break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || status=$?
    [[ $status == 0 ]] || fail "$user: the program ended with $status"
    [[ $(snapshot) == "$before" ]] || fail "$user: the program folder changed:
$(diff <(echo "$before") <(snapshot))"
    local profile=$home/config/zuvora
    grep -q '^Volume=77' "$profile/zuv.ini" || fail "$user: zuv.ini lacks the defaults"
    grep -q '^\[Files\]' "$profile/zuv.ini" || fail "$user: the histories are not in zuv.ini"
    grep -q '^/srv/films/welcome.avi|' "$profile/playlist.txt" ||
        fail "$user: playlist.txt lacks the default list"
    grep -q '^\[Hall\]' "$profile/equalizer.ini" || fail "$user: equalizer.ini lacks the presets"
    echo "$user: program folder unchanged, files in $profile"
}

run "$(id -un)"
if [[ $(id -u) != 0 ]]; then
    echo "SKIPPED: another user needs root to be made and switched to"
    exit 0
fi
id zuvora-tester >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin \
        --comment 'Zuvora test account, removed when the tests end' zuvora-tester
run zuvora-tester
