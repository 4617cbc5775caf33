#!/usr/bin/env bash
# A destination in a folder this user may not write is refused before the run,
# however writable the file itself: written directly instead of replaced, it
# would be left half-written by an interrupted run.
#   readonly_folder_test.sh QUILLON_CLI
set -uo pipefail
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'chmod 755 "$work/locked"; rm -rf "$work"' EXIT
chmod 755 "$work"
# Root writes any folder: its runs are made as nobody.
as=()
[[ $(id -u) != 0 ]] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
mkdir "$work/locked"
printf '\xd6\xd0\xce\xc4\n' >"$work/gb.txt"  # 中文
iconv -f GB2312 -t UTF-8 "$work/gb.txt" >"$work/utf8.txt"
echo old >"$work/locked/out.txt"
chmod 666 "$work/locked/out.txt"
chmod 555 "$work/locked"
status=0
fail() { echo "FAIL: $*"; status=1; }

for run in "convert --from gb --to big5 gb.txt" "format --from gb gb.txt" "convert --from gb --to utf-8 gb.txt" \
           "convert --from utf-8 utf8.txt" "format --from utf-8 utf8.txt"; do
  # shellcheck disable=SC2086
  errors=$(cd "$work" && "${as[@]}" "$cli" $run locked/out.txt 2>&1 >/dev/null)
  got=$?
  [[ $got == 2 ]] || fail "$run: exit status $got"
  [[ $errors == *"quillon-cli: locked/out.txt: Permission denied" ]] || fail "$run: said '$errors'"
  [[ $(cat "$work/locked/out.txt") == old ]] || fail "$run: the destination was written"
  [[ $(ls -A "$work/locked") == out.txt ]] || fail "$run: left $(ls -A "$work/locked")"
done
exit $status
