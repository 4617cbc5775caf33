#!/usr/bin/env bash
# The generated man pages render without a single warning from man and groff,
# quillon-cli(1) lists every option as quillon-cli's help writes it, and its
# examples run.
#   man_pages_test.sh DIR_WITH_PAGES QUILLON_CLI
set -euo pipefail
dir=$1
cli=$2
status=0
for page in "$dir/quillon-cli.1" "$dir/quillon.1"; do
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  if [[ -n $warnings ]]; then
    echo "$page: $warnings"
    status=1
  fi
done

rendered=$(MANWIDTH=200 man -E UTF-8 -l "$dir/quillon-cli.1" 2>/dev/null)
for command in convert format; do
  # The option column of the help: what stands before the gap.
  while read -r forms; do
    grep -qF -- "$forms" <<<"$rendered" || { echo "quillon-cli(1) lacks $forms"; status=1; }
  done < <("$cli" "$command" --help | grep -E '^  -' | sed -E 's/^  //; s/ {2,}.*//')
done

# Both pages tell what they read from the environment; the scratch folder is
# the one every run may use.
for page in "$dir/quillon-cli.1" "$dir/quillon.1"; do
  environment=$(MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null | sed -n '/^ENVIRONMENT/,/^[A-Z]/p')
  grep -qw TMPDIR <<<"$environment" || { echo "$page: ENVIRONMENT lacks TMPDIR"; status=1; }
done

# Every example of quillon-cli(1) runs as it stands, on files of the names it
# uses: the commands are the lines indented deeper than their job's.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/novels/part-2"
printf '\xd6\xd0\xce\xc4\r\n' | tee "$work/novel-gb.txt" "$work/novels/a.txt" > "$work/novels/part-2/b.txt"
printf '\xe5\x86\x85\xe5\xad\x98\xe5\xbe\x88\xe5\xb0\x8f\n' > "$work/notes.txt"  # 内存很小
mapfile -t examples < <(sed -n '/^EXAMPLES/,/^[A-Z]/p' <<<"$rendered" | grep -E '^ {11}' | sed -E 's/^ +//')
((${#examples[@]} == 5)) || { echo "quillon-cli(1) has ${#examples[@]} examples, not 5"; status=1; }
for example in "${examples[@]}"; do
  (cd "$work" && PATH="$(dirname "$cli"):$PATH" bash -c "$example") >/dev/null 2>&1 ||
    { echo "example fails: $example"; status=1; }
done
exit $status
