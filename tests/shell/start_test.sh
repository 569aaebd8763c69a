#!/usr/bin/env bash
# Starts as a build server or an SSH session would: no display. A line
# without a generation switch says on standard error that the editor needs a
# display and which command lines run without one, and ends with status 1,
# never with Qt's abort; so does a display that is named but unreachable. An
# unknown "--" option ends the run with status 1 before anything starts, and
# "/?" inside a path is no help.
#   start_test.sh TARVEL [TARVEL_EDITOR]
set -uo pipefail
tarvel=$1
editor=${2:-}
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cp "$here/examples/PedestrianSignal.fsm" Door.fsm
failures=0

# expect STATUS TEXT -- COMMAND...: the command ends with STATUS and its
# standard error holds TEXT.
expect() {
  local status=$1 text=$2
  shift 3
  "$@" >out.txt 2>err.txt
  local got=$?
  if [[ $got != "$status" ]] || { [[ -n $text ]] && ! grep -qF -- "$text" err.txt; }; then
    echo "FAIL: $* ended with $got (expected $status) and said:"
    cat err.txt out.txt
    failures=$((failures + 1))
  fi
}

nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
for program in "$tarvel" ${editor:+"$editor"}; do
  name=$(basename "$program")
  expect 1 "$name: the editor needs a display" -- "${nodisplay[@]}" "$program" Door.fsm
  expect 1 "$name DIAGRAM.fsm /C|/CH|/CHR" -- "${nodisplay[@]}" "$program" Door.fsm
  expect 1 "$name: unknown option --chek" -- "${nodisplay[@]}" "$program" Door.fsm --chek
  expect 1 "$name: unknown option --chek" -- "$program" Door.fsm --chek
  # A batch needs no display.
  expect 0 "" -- "${nodisplay[@]}" "$program" Door.fsm /CH
done

# A display that is named but cannot be reached.
if [[ -n $editor ]]; then
  free=97
  while [[ -e /tmp/.X11-unix/X$free ]]; do free=$((free + 1)); done
  expect 1 "the editor needs a display" -- env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    DISPLAY=":$free" "$editor" Door.fsm
fi

# "/?" inside a path is a path: the run fails instead of showing the help.
mkdir -p 'x/?'
expect 1 "" -- "$tarvel" 'x/?/q.fsm' /CH
if grep -q "Help" out.txt; then
  echo "FAIL: a path with /? showed the help"
  failures=$((failures + 1))
fi
grep -qF "Fsm path error [" FSM_ERR.log || { echo "FAIL: no path error logged"; failures=$((failures + 1)); }

exit $((failures > 0))
