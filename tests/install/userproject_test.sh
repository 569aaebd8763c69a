#!/usr/bin/env bash
# A user's CMake project against the installed tree: the state machines are
# generated at build time (one plain, one reentrant with options and its
# page); touching a child diagram runs the generation again
# and rebuilds nothing; changing it rebuilds the module only; a diagram the
# generator refuses fails the build with the error log's lines; a missing
# diagram fails the configuration with its path.
#   userproject_test.sh BUILD_DIR SOURCE_DIR GENERATOR
set -euo pipefail
build=$1
source_dir=$2
generator=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
project=$scratch/project
out=$scratch/build
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$project/machines"
cp "$source_dir"/tests/install/userproject/CMakeLists.txt "$source_dir"/tests/install/userproject/main.c "$project"/
cp "$source_dir"/examples/motorcontrol_main.c "$project"/
cp "$source_dir"/tests/install/userproject/machines/*.fsm "$source_dir"/examples/TrafficLight.fsm \
   "$source_dir"/examples/PedestrianSignal.fsm "$source_dir"/examples/MotorControl.fsm \
   "$source_dir"/examples/SoftStart.fsm "$source_dir"/examples/Program.fsm \
   "$source_dir"/examples/motor_drive.h "$project/machines/"

fail() {
  echo "userproject: $*"
  exit 1
}
# Builds; the log is kept for the checks that follow.
build() {
  sleep 1  # time stamps of the steps must differ
  touch "$scratch/before"
  cmake --build "$out" >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log"; fail "the build failed"; }
}
rebuilt() { [ "$1" -nt "$scratch/before" ]; }

cmake -S "$project" -B "$out" -G "$generator" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
build
"$out/crossing" || fail "the program did not run"
# STYLE, OPTIONS and HTML reach the generation.
"$out/motors" >/dev/null || fail "the reentrant motor controller did not run"
motors=$out/tarvel/motors
[ -f "$motors/MotorControl.htm" ] && [ -f "$motors/MotorControl.svg" ] || fail "no page"
grep -q "T_MotorControl" "$motors/MotorControl.h" || fail "the module is not reentrant"
! grep -q "//" "$motors/MotorControl.c" || fail "the module has // comments despite --ansi-comments"
module=$out/tarvel/crossing/TrafficLight.c
stamp=$out/tarvel/crossing/TrafficLight.tarvel-stamp
[ -f "$out/tarvel/crossing/TrafficLight.lst" ] || fail "no list file"
main_object=$(find "$out" -name main.c.o)
module_object=$(find "$out" -name TrafficLight.c.o)

# Touched child: the generation runs, its output is the same, nothing is compiled.
touch "$project/machines/PedestrianSignal.fsm"
build
rebuilt "$stamp" || fail "touching the child diagram did not run the generation"
! rebuilt "$module" || fail "the unchanged module was rewritten"
! rebuilt "$module_object" && ! rebuilt "$main_object" || fail "something was compiled again"

# Changed child: the module changes and is compiled again, main.c is not.
sed -i 's/#define WALK  50/#define WALK  40/' "$project/machines/PedestrianSignal.fsm"
build
grep -q "#define WALK  40" "$module" || fail "the module was not generated again"
rebuilt "$module_object" || fail "the module was not compiled again"
! rebuilt "$main_object" || fail "main.c was compiled again"
build
! rebuilt "$stamp" && ! rebuilt "$module_object" || fail "a build with nothing changed did something"

# A diagram without a start state: the build fails with the error log's lines.
cmake -S "$project" -B "$out" -DWITH_BROKEN_MACHINE=ON >/dev/null
if cmake --build "$out" >"$scratch/broken.log" 2>&1; then
  fail "the build of a refused diagram succeeded"
fi
grep -q "Attention, to generate C-code a start node must be defined" "$scratch/broken.log" ||
  { cat "$scratch/broken.log"; fail "the error log's line is not shown"; }
[ ! -e "$out/tarvel/broken/Broken.c" ] || fail "a refused diagram left a module"

# A missing diagram fails at configure time, naming it.
if cmake -S "$project" -B "$out" -DWITH_BROKEN_MACHINE=OFF -DWITH_MISSING_MACHINE=ON \
     >"$scratch/missing.log" 2>&1; then
  fail "configuring with a missing diagram succeeded"
fi
tr -s ' \n' ' ' <"$scratch/missing.log" | grep -q "$project/machines/Missing.fsm does not exist" ||
  { cat "$scratch/missing.log"; fail "the missing diagram is not named"; }
echo "userproject ($generator): generated, regenerated and rebuilt as expected"
