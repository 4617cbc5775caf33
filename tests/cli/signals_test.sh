#!/usr/bin/env bash
# Signals in the middle of a run: the run ends by the signal, the old
# destination stays, and no file is left beside it or in the temporary folder.
# The source is a pipe this script holds open, so every run waits mid-way.
#   signals_test.sh QUILLON_CLI
set -uo pipefail
ulimit -c 0
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
out=$work/out
mkdir "$TMPDIR" "$out"
mkfifo "$work/feed"
gb=$'\xd6\xd0\xce\xc4\xa3\xac\xbb\xb9\xd3\xd0\xd2\xbb\xd0\xd0\xa1\xa3'  # 中文，还有一行。
status=0
fail() { echo "FAIL: $*"; status=1; }

# Polls for up to ten seconds.
waitFor() {
  for _ in $(seq 1000); do "$@" && return 0; sleep 0.01; done
  return 1
}
# The run has a scratch file in the temporary folder open, or else its new
# destination beside the old one.
midRun() {
  if [[ $2 == scratch ]]; then
    ls -l "/proc/$1/fd" 2>/dev/null | grep -qF "$TMPDIR/"
  else
    compgen -G "$out/.dest.txt.quillon-*" >/dev/null
  fi
}
ended() { [[ ! -e /proc/$1 || $(cut -d' ' -f3 "/proc/$1/stat") == Z ]]; }
# interrupt SIGNAL PID [GROUP]: sends the signal to the run (or to its process
# group); a run that goes on regardless is killed.
interrupt() {
  kill -s "$1" -- "${3:-$2}"
  waitFor ended "$2" || { fail "$1 did not end run $2"; kill -s KILL "$2"; }
}
# What is left: the old destination alone, nothing in the temporary folder.
checkLeft() {
  [[ $(cat "$out/dest.txt") == old ]] || fail "$1: the destination was replaced"
  [[ $(ls -A "$out") == dest.txt ]] || fail "$1: left beside the destination: $(ls -A "$out")"
  [[ -z $(ls -A "$TMPDIR") ]] || fail "$1: left in the temporary folder: $(ls -A "$TMPDIR")"
}

# Started in the background by a shell without job control, a run ignores the
# terminal's interrupt key, but a signal sent to it ends it all the same.
# Output in UTF-8 goes through a scratch file in the temporary folder, and a
# source to detect is kept there first.
for sig in INT TERM HUP QUIT; do
  while IFS='|' read -r needs run; do
    echo old >"$out/dest.txt"
    # shellcheck disable=SC2086
    "$cli" $run - "$out/dest.txt" <"$work/feed" 2>/dev/null &
    pid=$!
    exec 3>"$work/feed"
    printf '%s\n' "$gb" >&3
    waitFor midRun "$pid" "$needs" || fail "$sig $run: the run did not get under way"
    interrupt "$sig" "$pid"
    wait "$pid" 2>/dev/null
    got=$?
    exec 3>&-
    expected=$((128 + $(kill -l "$sig")))
    [[ $got == "$expected" ]] || fail "$sig $run: exit status $got, not $expected"
    checkLeft "$sig $run"
  done <<EOF
scratch|convert --from gb --to utf-8
scratch|format --from gb --to utf-8
plain|format --from gb
scratch|convert --to big5
EOF
done

# Ctrl-C in a terminal reaches the whole pipeline, whose producer dies first:
# the run must not take the end of its input for the end of the text.
set -m
for run in "convert --from gb --to big5" "format --from gb"; do
  echo old >"$out/dest.txt"
  # shellcheck disable=SC2086
  cat "$work/feed" | "$cli" $run - "$out/dest.txt" 2>/dev/null &
  pid=$!
  exec 3>"$work/feed"
  printf '%s\n' "$gb" >&3
  waitFor midRun "$pid" plain || fail "pipeline $run: the run did not get under way"
  read -r -a stat <"/proc/$pid/stat"
  interrupt INT "$pid" "-${stat[4]}"
  wait "$pid" 2>/dev/null
  got=$?
  exec 3>&-
  [[ $got == 130 ]] || fail "pipeline $run: exit status $got, not 130"
  checkLeft "pipeline $run"
done
set +m

exit $status
