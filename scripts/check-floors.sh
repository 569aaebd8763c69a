#!/usr/bin/env bash
# Checks that the include arrows of src/ point down the floor plan:
#  1. a core file (outside any ui/ folder) includes only its own folder and
#     the folders of lower floors, never a ui/ file and never a Qt header;
#  2. a ui/ file includes any core file, its own ui/ folder and the ui/
#     folders below it, never one above it.
# Prints each offending include as "file:line: include" and exits 1 when there
# is one. A folder of src/ that has no floor in the tables below is an offence
# too: a new folder gets its place in the plan when it is made.
set -euo pipefail
cd "$(dirname "$0")/.."

# Core floors, from the ground up.
declare -A floor=(
  [base]=1
  [model]=2
  [codegen]=3
  [check]=4  # beside export and sim: none includes another
  [sim]=4
  [export]=4
  [shell]=5
  [editor]=6
  [dialogs]=7
)
# ui/ folders, from the bottom up: the main frame is the top.
declare -A uiFloor=(
  [export]=1
  [editor]=2
  [dialogs]=3
  [shell]=4
)

status=0
offend() {
  echo "$1:$2: $3"
  status=1
}

for dir in src/*/; do
  name=$(basename "$dir")
  if [[ -z ${floor[$name]:-} ]]; then
    echo "src/$name: a folder without a floor; give it one in $0"
    status=1
  fi
  if [[ -d $dir/ui && -z ${uiFloor[$name]:-} ]]; then
    echo "src/$name/ui: a ui folder without a floor; give it one in $0"
    status=1
  fi
done

# Every include line of every source file: file, line number, included path.
while IFS=: read -r file line text; do
  target=
  if [[ $text =~ include[[:space:]]*[\<\"]([^\>\"]*)[\>\"] ]]; then
    target=${BASH_REMATCH[1]}
  fi
  rel=${file#src/}
  folder=${rel%%/*}
  if [[ $rel != */* ]]; then
    continue  # the two entry points sit on top of everything
  fi
  inUi=0
  [[ $rel == */ui/* ]] && inUi=1
  if [[ $target == Q* && $text == *\<* ]]; then
    ((inUi)) || offend "$file" "$line" "$text"
    continue
  fi
  [[ $text == *\"* ]] || continue  # system and library headers
  [[ $target == */* ]] || continue  # a header beside the file
  tFolder=${target%%/*}
  tUi=0
  [[ $target == */ui/* ]] && tUi=1
  if [[ -z ${floor[$tFolder]:-} ]]; then
    continue  # not a folder of src/
  fi
  if ((inUi == 0)); then
    if ((tUi)) || [[ $tFolder != "$folder" && ${floor[$tFolder]} -ge ${floor[$folder]:-0} ]]; then
      offend "$file" "$line" "$text"
    fi
  elif ((tUi)) && [[ $tFolder != "$folder" && ${uiFloor[$tFolder]:-99} -ge ${uiFloor[$folder]:-0} ]]; then
    offend "$file" "$line" "$text"
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' src --include='*.h' --include='*.cpp' | sort -t: -k1,1 -k2,2n)

if ((status == 0)); then
  echo "check-floors: every include points down"
fi
exit $status
