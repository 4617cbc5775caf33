#!/usr/bin/env bash
# The generated man pages render without a single warning from man and groff,
# and quillon-cli(1) lists every option as quillon-cli's help writes it.
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
exit $status
