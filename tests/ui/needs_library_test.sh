#!/bin/sh
# The dialog's program runs the engine through libquillon, as any other
# program would: it needs the library and holds no run of the edge itself.
set -eu
objdump -p "$1" | awk '$1 == "NEEDED" { print $2 }' | grep -qx 'libquillon\.so\.1' ||
  { echo "$1 does not need libquillon.so.1"; exit 1; }
if nm -C "$1" | grep -q 'unicode::runThroughEdge'; then
  echo "$1 runs the edge itself"; exit 1
fi
