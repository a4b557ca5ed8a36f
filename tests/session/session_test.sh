#!/usr/bin/env bash
# A person's session with the real program: an X server with openbox, the installed MPlayer with
# real video output, a private D-Bus session with the accessibility bus, and session_test.py,
# which uses the windows only through keys, typed text and clicks at controls it finds through
# AT-SPI. Prints "SKIPPED: ..." (naming the Debian package) when a tool is missing.
# Usage: session_test.sh ZUVORA_EXECUTABLE [SHOTS_FOLDER]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:?usage: session_test.sh ZUVORA_EXECUTABLE [SHOTS_FOLDER]}

skip() {
    echo "SKIPPED: $1"
    exit 0
}
need() {
    command -v "$1" >/dev/null || skip "$1 is not installed (Debian package $2)"
}

need mplayer mplayer
need dbus-run-session dbus-daemon
need xdotool xdotool
[[ -x /usr/libexec/at-spi-bus-launcher ]] ||
    skip "the accessibility bus is not installed (Debian package at-spi2-core)"
# The system's Python: pyatspi comes as a Debian package, not from an environment of another.
python=/usr/bin/python3
[[ -x $python ]] || skip "python3 is not installed (Debian package python3)"
"$python" -c 'import pyatspi' 2>/dev/null ||
    skip "pyatspi is not installed (Debian packages python3-pyatspi gir1.2-atspi-2.0)"

# Qt talks to the accessibility bus only when asked or when a screen reader runs.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_ACCESSIBILITY=1
export NO_AT_BRIDGE=0
exec dbus-run-session -- "$here/../desktop/run_on_desktop.sh" openbox \
    "$python" "$here/session_test.py" "$@"
