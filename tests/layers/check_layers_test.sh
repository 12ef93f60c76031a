#!/usr/bin/env bash
# The layer check passes on the sources and fails on trees that break a rule.
set -uo pipefail
check=$1/scripts/check-layers
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

expect() { # expect RC NAME DIR
    "$check" "$3" >"$tmp/out" 2>&1
    local rc=$?
    if [ "$rc" -ne "$1" ]; then
        echo "FAIL $2: exit $rc, expected $1"; cat "$tmp/out"; fail=1
    else
        echo "ok   $2"
    fi
}
tree() { # tree NAME FILE INCLUDE: a tree with one file holding one include
    mkdir -p "$tmp/$1/$(dirname "$2")"
    printf '#include "%s"\n' "$3" >"$tmp/$1/$2"
    echo "$tmp/$1"
}

expect 0 "the sources" "$1/src"
expect 1 "an include from a layer above" "$(tree up link/a.cpp ui/mainwindow/mainwindow.h)"
expect 1 "rules including widgets of their own layer" \
       "$(tree rules charts/core/a.cpp charts/ui/diagramwindow.h)"
expect 1 "a folder that is no layer" "$(tree stray shell/a.cpp base/core/messages.h)"
exit $fail
