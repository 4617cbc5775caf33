#!/bin/sh
# quillon-cli reaches the engine through libquillon, as any program would:
# it loads the shared library and holds none of the internals itself.
set -eu
readelf -d "$1" | grep -q 'NEEDED.*\[libquillon\.so\.1\]' || { echo "quillon-cli does not load libquillon.so.1"; exit 1; }
internals=$(nm -C --defined-only "$1" | cut -d' ' -f3- | grep -E '^quillon::' | grep -vE '^quillon::(cli|api)::' || true)
[ -z "$internals" ] || { echo "quillon-cli holds internals of the library:"; echo "$internals" | head -20; exit 1; }
