#!/usr/bin/env bash
# Fails when an include runs against the layers of src/ (see docs/ARCHITECTURE.md): a folder may
# include its own headers and those of lower floors only; Qt and the windows stay in qt/ folders;
# system headers and code chosen by operating system stay in platform/.
# Usage: check_layers.sh SRC_DIR
set -uo pipefail
src=${1:?usage: check_layers.sh SRC_DIR}
cd "$src" || exit 2

# Floor of each top folder; a folder may include folders of its own floor or below.
declare -A floor=(
    [util]=0 [platform]=1 [options]=2 [widgets]=3 [lang]=4 [archive]=4 [shutdown]=4
    [equalizer]=5 [settings]=5 [fileassoc]=5 [playback]=5 [mpris]=6
    [app]=7
)
# Headers of the operating system: only the platform layer talks to the system.
system_header='^#\s*include\s*<(unistd|fcntl|dirent|pwd|grp|poll|spawn|dlfcn|termios|syslog|signal|glob|fnmatch|libgen|netdb|ifaddrs|sched|pthread|semaphore|utmp|shadow|sys/[^>]*|netinet/[^>]*|arpa/[^>]*|linux/[^>]*|windows|winsock2?|ws2tcpip|winreg|winbase|shlobj|shellapi|shlwapi|tlhelp32|psapi|io|direct|process|objbase|knownfolders)\.h>'
# Tests of the preprocessor on the system (_WIN32, __linux__, Qt's Q_OS_...).
system_choice='^#\s*(if|ifdef|ifndef|elif).*(_WIN32|_WIN64|__linux|__unix|__APPLE__|__MINGW|_MSC_VER|__CYGWIN__|Q_OS_)'
# The one exception: the target's path syntax (separators, absolute paths) is constant data that
# util's own path helpers need, below the platform floor.
os_choice_allowed=(util/path_syntax.h)
# Folders on one floor that must not reach each other all the same.
forbidden_pairs=(playback:settings playback:equalizer playback:fileassoc)

problems=0
complain() { echo "$1"; problems=$((problems + 1)); }

while IFS= read -r file; do
    from=${file%%/*}
    [[ -n ${floor[$from]+x} ]] || { complain "$file: folder '$from' has no floor"; continue; }
    in_qt=0
    [[ $file == */qt/* ]] && in_qt=1
    while IFS= read -r line; do
        if [[ $line =~ ^#include\ \"([a-z_]+)/([^\"]+)\" ]]; then
            to=${BASH_REMATCH[1]}
            path="$to/${BASH_REMATCH[2]}"
            [[ -n ${floor[$to]+x} ]] || { complain "$file: includes $path from an unknown folder"; continue; }
            ((floor[$to] <= floor[$from])) || complain "$file: includes $path from a higher floor"
            for pair in "${forbidden_pairs[@]}"; do
                [[ $from:$to == "$pair" ]] && complain "$file: includes $path ($from must not use $to)"
            done
            ((in_qt || 0)) || [[ $path != */qt/* ]] || complain "$file: Qt-free code includes $path"
        elif [[ $line =~ ^#include\ \<Q ]] && ((!in_qt)); then
            complain "$file: includes Qt (${line#\#include }) outside a qt/ folder"
        fi
    done < <(grep -E '^#include ' "$file")
    # Outside the platform layer no code talks to the system or chooses by it.
    if [[ $from != platform ]]; then
        while IFS= read -r line; do
            complain "$file: includes a system header (${line#\#include })"
        done < <(grep -E "$system_header" "$file")
        if [[ " ${os_choice_allowed[*]} " != *" $file "* ]] && grep -qE "$system_choice" "$file"; then
            complain "$file: chooses code by operating system"
        fi
    fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

if ((problems)); then
    echo "$problems include(s) against the layers"
    exit 1
fi
echo "Layers kept: $(find . -name '*.h' -o -name '*.cpp' | wc -l) files checked"
