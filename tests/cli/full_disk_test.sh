#!/usr/bin/env bash
# A file system without room, for the destination or for the temporary
# folder: the run stops at its first failed write (endless input included),
# keeps the old destination, leaves nothing behind, and names the file it
# could not write with the system's reason.
#   full_disk_test.sh QUILLON_CLI
# Needs a 1 MB tmpfs, which only root may mount; skipped (77) elsewhere.
set -uo pipefail
cli=$1
work=$(mktemp -d)
small=$work/small
mkdir "$small" "$work/tmp"
if ! mount -t tmpfs -o size=1m tmpfs "$small" 2>/dev/null; then
  rm -rf "$work"
  echo "cannot mount a small tmpfs here: skipped"
  exit 77
fi
trap 'umount "$small"; rm -rf "$work"' EXIT
mkdir "$small/tmp"
status=0
fail() { echo "FAIL: $*"; status=1; }

line=$'\xd6\xd0\xce\xc4\xa3\xac\xbb\xb9\xd3\xd0\xd2\xbb\xd0\xd0\xa1\xa3'  # 中文，还有一行。
line=$line$line$line$line
yes "$line" | head -n 20000 >"$work/gb.txt"  # 1.3 MB
iconv -f GB2312 -t UTF-8 "$work/gb.txt" >"$work/utf8.txt"
destinationFull="$small/out.txt: No space left on device"
scratchFull="Unable to write a temporary file in $small/tmp: No space left on device"

# check NAME DESTINATION MESSAGE EXIT-STATUS
check() {
  [[ $4 == 2 ]] || fail "$1: exit status $4"
  # After the trace, if any, of the encodings chosen.
  said=$(grep -v ' encoding\.$' "$work/errors")
  [[ $said == "quillon-cli: $3" ]] || fail "$1: said '$said', not 'quillon-cli: $3'"
  [[ $(cat "$2") == old ]] || fail "$1: the destination was replaced"
  [[ $(ls -A "$small") == $'out.txt\ntmp' ]] || fail "$1: left in the small file system: $(ls -A "$small")"
  [[ -z $(ls -A "$small/tmp")$(ls -A "$work/tmp") ]] || fail "$1: left in a temporary folder"
}

# Endless input: only a run that stops at its first failed write ends.
while IFS='|' read -r run destination tmp message; do
  echo old >"$destination"
  # shellcheck disable=SC2086
  yes "$line" | TMPDIR=$tmp timeout 20 "$cli" $run - "$destination" 2>"$work/errors"
  check "endless $run into $destination" "$destination" "$message" "${PIPESTATUS[1]}"
done <<EOF
convert --from gb --to big5|$small/out.txt|$work/tmp|$destinationFull
format --from gb|$small/out.txt|$work/tmp|$destinationFull
convert --from gb --to utf-8|$work/out.txt|$small/tmp|$scratchFull
format --from gb --to utf-8|$work/out.txt|$small/tmp|$scratchFull
EOF

# Files: every way through the Unicode edge, with either folder full.
while IFS='|' read -r run source destination tmp message; do
  echo old >"$destination"
  # shellcheck disable=SC2086
  TMPDIR=$tmp timeout 20 "$cli" $run "$source" "$destination" 2>"$work/errors"
  check "$run $source into $destination" "$destination" "$message" $?
done <<EOF
convert --from utf-8 --to utf-8|$work/utf8.txt|$small/out.txt|$work/tmp|$destinationFull
convert --from utf-8 --to big5|$work/utf8.txt|$small/out.txt|$work/tmp|$destinationFull
format --from utf-8|$work/utf8.txt|$small/out.txt|$work/tmp|$destinationFull
format --from gb --to utf-8|$work/gb.txt|$small/out.txt|$work/tmp|$destinationFull
format --from utf-8 --to big5|$work/utf8.txt|$work/out.txt|$small/tmp|$scratchFull
EOF
exit $status
