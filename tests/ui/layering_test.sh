#!/bin/sh
# The dialog reaches the engine through libquillon, as any program would: it
# loads the shared library and holds none of the code of the engine or the
# Unicode edge itself.
#   layering_test.sh PROGRAM ARCHIVE...   (the engine's and the edge's static libraries)
set -eu
program=$1
shift
readelf -d "$program" | grep -q 'NEEDED.*\[libquillon\.so\.1\]' || { echo "$program does not load libquillon.so.1"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The project's symbols an object file defines, by name; those of unnamed
# namespaces are each file's own, alike in name only.
defined() {
    nm -C --defined-only "$@" | awk 'NF >= 3 { $1 = ""; $2 = ""; print substr($0, 3) }' | grep '^quillon::' |
        grep -v '(anonymous namespace)' | sort -u
}
defined "$@" > "$work/internals"
defined "$program" > "$work/program"
held=$(comm -12 "$work/internals" "$work/program")
[ -z "$held" ] || { echo "$program holds internals of the library:"; echo "$held" | head -20; exit 1; }
