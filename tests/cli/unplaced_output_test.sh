#!/usr/bin/env bash
# A run whose output is whole but cannot take the destination's place: the
# warnings on that output are told, as a run that succeeds tells them, before
# the failure; the status is 2, the old destination stays and nothing is left
# beside it. The failure is forced by a preloaded rename() that refuses the
# destination's name, or by a standard output open for reading only.
#   unplaced_output_test.sh QUILLON_CLI FAILING_RENAME_LIBRARY
set -uo pipefail
cli=$(realpath "$1")
preload=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir sources
printf '\xb9\xfa\xb0\x41\n' >sources/gb-invalid.txt     # 国 and an invalid pair
printf '\xb9\xfa\n\x1a\xce\xaa\n' >sources/gb-marked.txt  # 国, then 为 after an end mark
printf '\xe5\x9b\xbd\xf0\x9f\x98\x80\n' >sources/emoji.txt # 国 and an emoji Big5 lacks
printf '\xe5\x9b\xbd\xff\n' >sources/utf8-invalid.txt     # 国 and a byte UTF-8 never has
status=0
fail() { echo "FAIL: $*"; status=1; }

# Each way a run writes its destination: the engine's own run (named or
# detected source), legacy text into Unicode, and Unicode text.
while read -r source run; do
  # shellcheck disable=SC2086
  told=$("$cli" $run "sources/$source" fresh.txt 2>&1 >/dev/null)
  [[ $? == 1 && -n $told || $run == *--quiet* ]] || fail "$run $source: no warning to keep: '$told'"
  rm -f fresh.txt
  echo old >out.txt
  # ASan, where built in, would refuse a library loaded before its own.
  # shellcheck disable=SC2086
  said=$(LD_PRELOAD=$preload FAILING_RENAME_NAME=out.txt \
         ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
         "$cli" $run "sources/$source" out.txt 2>&1 >/dev/null)
  got=$?
  expected="${told:+$told$'\n'}quillon-cli: out.txt: Permission denied"
  [[ $got == 2 ]] || fail "$run $source: exit status $got"
  [[ $said == "$expected" ]] || fail "$run $source: said '$said', not '$expected'"
  [[ $(cat out.txt) == old ]] || fail "$run $source: the destination was replaced"
  [[ $(ls -A | xargs) == "out.txt sources" ]] || fail "$run $source: left $(ls -A | xargs)"
done <<END
gb-invalid.txt convert --from gb --to big5
gb-invalid.txt format --from gb
gb-marked.txt convert
gb-invalid.txt convert --from gb --to utf-8
gb-invalid.txt format --from gb --to utf-8 --line-ends lf
emoji.txt convert --from utf-8 --to big5
utf8-invalid.txt format --from utf-8
gb-invalid.txt convert --from gb --to big5 --quiet
END

# Standard output that takes no output (open for reading only): the run's
# warnings still come before the failure to write it.
told=$("$cli" convert --from gb --to big5 sources/gb-invalid.txt 2>&1 >/dev/null)
said=$("$cli" convert --from gb --to big5 sources/gb-invalid.txt 2>&1 1<sources/gb-marked.txt)
got=$?
expected="$told"$'\n'"quillon-cli: Unable to write standard output: Bad file descriptor"
[[ $got == 2 ]] || fail "into unwritable standard output: exit status $got"
[[ $said == "$expected" ]] || fail "into unwritable standard output: said '$said', not '$expected'"
exit $status
