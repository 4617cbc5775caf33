#!/usr/bin/env bash
# Drives the bash completion of quillon-cli as bash would on a Tab and checks
# the words it offers: commands, each command's own options, option values in
# both spellings, and file names.
#   completion_test.sh COMPLETION_SCRIPT ZSH_COMPLETION_SCRIPT
# The zsh script, made by the same generator, is checked for its syntax only.
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/novels"
touch "$work/novel-gb.txt" "$work/novel-big5.txt"
cd "$work"

failures=0
# expect "COMMAND LINE UP TO THE CURSOR" "EXPECTED WORDS"
expect() {
  local line=$1 wanted=$2
  COMP_LINE=$line
  COMP_POINT=${#line}
  # Split as readline does, '=' being a word of its own.
  read -ra COMP_WORDS <<<"${line//=/ = }"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _quillon_cli quillon-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
  if [[ $got != "$wanted" ]]; then
    echo "'$line': offered '$got', expected '$wanted'"
    failures=$((failures + 1))
  fi
}

expect "quillon-cli " "--help --list-encodings --version -V -h -l convert detect format"
expect "quillon-cli f" "format"
expect "quillon-cli convert --" "--backup --bom --dictionary --form --from --help --html --in-place --jobs --line-ends --no-html --no-phrases --no-regional-words --opencc --output --output-dir --phrases --quiet --quotes --recursive --regional-words --standard --to --verbose"
expect "quillon-cli convert --jobs " ""
expect "quillon-cli convert -j " ""
expect "quillon-cli format -" "--auto-fix --backup --bom --chapter-headings --chars-per-line --dictionary --form --from --fullwidth-spaces --heading --heading-pattern --help --html --in-place --jobs --lead-spaces --left-margin --line-ends --line-spacing --line-start-rules --mixed-text --natural-syntax --no-auto-fix --no-chapter-headings --no-fullwidth-spaces --no-html --no-line-start-rules --no-mixed-text --no-natural-syntax --no-phrases --no-regional-words --no-space-between-scripts --opencc --output --output-dir --paragraph --phrases --quiet --quotes --recursive --regional-words --space-between-scripts --standard --to --verbose -f -h -i -j -o -q -r -t -v"
expect "quillon-cli convert -f " "auto big5 gb gb18030 gbk utf-16 utf-16be utf-16le utf-8"
expect "quillon-cli convert -t d" "different"
expect "quillon-cli convert -fgb" "-fgb -fgb18030 -fgbk"
expect "quillon-cli format -tu" "-tutf-16 -tutf-16be -tutf-16le -tutf-8"
expect "quillon-cli convert -f" "-f"
expect "quillon-cli convert -o novel-" "novel-big5.txt novel-gb.txt"
expect "quillon-cli detect -" "--help -h"
expect "quillon-cli format --n" "--natural-syntax --no-auto-fix --no-chapter-headings --no-fullwidth-spaces --no-html --no-line-start-rules --no-mixed-text --no-natural-syntax --no-phrases --no-regional-words --no-space-between-scripts"
expect "quillon-cli convert --chars" ""
expect "quillon-cli convert --from " "auto big5 gb gb18030 gbk utf-16 utf-16be utf-16le utf-8"
expect "quillon-cli convert --to=d" "different"
expect "quillon-cli format --paragraph " "auto empty-line force leading-spaces one-line"
expect "quillon-cli format --heading r" "right"
expect "quillon-cli format --chars-per-line " ""
expect "quillon-cli format --heading-pattern " ""
expect "quillon-cli convert --quotes " "corner curly keep"
expect "quillon-cli convert novel-" "novel-big5.txt novel-gb.txt"
expect "quillon-cli format --quiet novel-gb.txt n" "novel-big5.txt novel-gb.txt novels"
expect "quillon-cli convert -- -" ""
expect "quillon-cli detect novel-" "novel-big5.txt novel-gb.txt"
expect "quillon-cli translate " ""

zsh -n "$2" || { echo "$2: not valid zsh"; failures=$((failures + 1)); }
# Every option bash offers a command, long or one-letter, zsh offers it too.
for command in convert format detect; do
  section=$(sed -n "/^  $command)/,/;;/p" "$2")
  for word in $(sed -n "s/^ *$command) options='\\([^']*\\)'.*/\\1/p" "$1"); do
    grep -qE -- "[(',{)]$word(\\[|=|\\}|,|\\+)" <<<"$section" ||
      { echo "zsh: $command lacks $word"; failures=$((failures + 1)); }
  done
done

((failures == 0)) || { echo "$failures failed"; exit 1; }
echo "all completions as expected"
