#!/usr/bin/env bash
# Removes the local accounts the tests created as root (zuvora-attacker, zuvora-tester). Only an
# account whose comment field marks it as the tests' own goes: a real user of either name stays.
set -uo pipefail
[[ $(id -u) -eq 0 ]] || exit 0
mark='Zuvora test account, removed when the tests end'
for name in zuvora-attacker zuvora-tester; do
    entry=$(getent passwd "$name") || continue
    [[ $(cut -d: -f5 <<<"$entry") == "$mark" ]] || { echo "kept $name: not made by the tests"; continue; }
    userdel "$name" || exit 1
    echo "removed $name"
done
