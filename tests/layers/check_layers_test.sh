#!/usr/bin/env bash
# The layer check passes on the sources and fails on trees that break a rule.
set -uo pipefail
check=$1/scripts/check-layers
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
n=0

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
    line "$1" "$2" "#include \"$3\""
}
line() { # line NAME FILE TEXT: a tree with one file holding one line
    mkdir -p "$tmp/$1/$(dirname "$2")"
    printf '%s\n' "$3" >"$tmp/$1/$2"
    echo "$tmp/$1"
}

expect 0 "the sources" "$1/src"
expect 1 "an include from a layer above" "$(tree up link/a.cpp ui/mainwindow/mainwindow.h)"
expect 1 "rules including widgets of their own layer" \
       "$(tree rules charts/core/a.cpp charts/ui/diagramwindow.h)"
expect 1 "a folder that is no layer" "$(tree stray shell/a.cpp base/core/messages.h)"
expect 0 "the engine's API inside storage" "$(line engine storage/a.cpp 'sqlite3_step(s);')"
expect 1 "the engine's API above storage" "$(line api charts/core/a.cpp 'sqlite3_step(s);')"
expect 1 "the connection handle above storage" "$(line hd data/a.cpp 'prepare(db.handle());')"
expect 1 "a Database in a feature context" "$(line ctx exchange/ui/xcontext.h 'Database* user;')"
for sql in 'EW=True' 'DELETE * FROM T' 'WHERE a = ?1' 'ORDER BY rowid'; do
    expect 1 "one engine's dialect: $sql" "$(line "jet$((++n))" data/a.cpp "q(\"$sql\");")"
done
exit $fail
