#!/usr/bin/env bash
# bash completion of tarvel and tarvel-editor: each line of the table is typed
# as bash would split it, and the offered words are compared.
#   completion_test.sh SOURCE_DIR
set -u
source_dir=$1
if [ ! -f /usr/share/bash-completion/bash_completion ]; then
  echo "bash-completion is not installed"
  exit 1
fi
. /usr/share/bash-completion/bash_completion
. "$source_dir/resources/bash-completion/tarvel"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir sub "my dir"
touch a.fsm B.FSM notes.txt -- -x.fsm sub/c.fsm

failures=0

# Splits a command line as bash does for completion ("=" is a word of its own)
# and runs the completion function of its command.
offered() {
  local line=$1 word
  COMP_WORDS=()
  for word in $line; do
    if [[ $word == *=* ]]; then
      COMP_WORDS+=("${word%%=*}" "=" "${word#*=}")
      [[ -z ${word#*=} ]] && unset 'COMP_WORDS[${#COMP_WORDS[@]}-1]'
    else
      COMP_WORDS+=("$word")
    fi
  done
  [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _tarvel "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
  local line=$1 want=$2 got
  got=$(offered "$line")
  if [ "$got" != "$want" ]; then
    echo "\"$line\": offered [$got], expected [$want]"
    failures=$((failures + 1))
  fi
}

# Diagrams (in any case) and folders, not other files.
expect "tarvel " "-x.fsm B.FSM a.fsm my dir sub"
expect "tarvel-editor su" "sub"
# Long options, their values, glued or as the next word.
expect "tarvel --sty" "--style="
expect "tarvel --li" "--list"
expect "tarvel --debug" "--debug --debug=no"
expect "tarvel --style=c" "ch chr"
expect "tarvel a.fsm --che" "--check"
expect "tarvel a.fsm --check --format=s" "sarif"
expect "tarvel --style d" "default"
expect "tarvel --output=s" "sub"
expect "tarvel --error-log m" "my dir"
# Switches; a folder glued to /O or /E; an absolute path stays a path.
expect "tarvel a.fsm /C" "/C /CH /CHR"
expect "tarvel a.fsm /Os" "/Osub"
expect "tarvel a.fsm /Es" "/Esub"
expect "tarvel $scratch/s" "$scratch/sub"
# After "--" only diagrams, even names that start with "-".
expect "tarvel --list -- -" "-x.fsm"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "completion: all offers as expected"
