#!/bin/sh
# The dialog reaches the engine through libquillon, as any program would: it
# loads the shared library and holds none of the code of the engine or the
# Unicode edge itself, and its sources see only their own headers and the
# library's public one.
#   layering_test.sh PROGRAM INCLUDE_DIRS SOURCE_DIR ARCHIVE...
# INCLUDE_DIRS lists the dialog's include directories, one a line, as the
# build gives them; ARCHIVEs are the engine's and the edge's static libraries.
set -eu
program=$1
include_dirs=$2
source_dir=$3
shift 3
readelf -d "$program" | grep -q 'NEEDED.*\[libquillon\.so\.1\]' || { echo "$program does not load libquillon.so.1"; exit 1; }

inner=$(grep -E "^$source_dir/(engine|unicode|cli|library/src)(/|$)" "$include_dirs" || true)
[ -z "$inner" ] || { echo "the dialog's sources see the library's internals:"; echo "$inner"; exit 1; }
# A header of its own is one beside the source: no path leads elsewhere.
foreign=$(cd "$source_dir/ui" && grep -Ho '^#include "[^"]*"' ./*.cpp ./*.h | sed 's/:#include "/ /; s/"$//' |
    while read -r file header; do
        case $header in */*) echo "$file: $header" ;; *) [ -f "$header" ] || echo "$file: $header" ;; esac
    done)
[ -z "$foreign" ] || { echo "the dialog includes headers not its own:"; echo "$foreign"; exit 1; }

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
