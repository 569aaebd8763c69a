#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build, test and run Tarvel Editor.
#   scripts/install-deps.sh          install what is missing
#   scripts/install-deps.sh --batch  only what the command-line program needs
#   scripts/install-deps.sh --bench  what bench/compare.sh needs besides the build:
#                                    Qt's SCXML compiler (the peer it is timed
#                                    against), hyperfine, perf and valgrind
#   scripts/install-deps.sh --list   print the package names, one a line
#   scripts/install-deps.sh --tools  print "command package" for every program
#                                    the tests run, one pair a line
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libsimdjson-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqscintilla2-qt6-dev libgl-dev
  xvfb xauth libwmf-bin poppler-utils time
  # libwmf only recommends its fonts, and wmf2svg fails without any font.
  fonts-urw-base35
  # The Debian package (dpkg-shlibdeps computes its dependencies, and cpack
  # needs file to find the programs), its manual pages, shell completion.
  dpkg-dev file groff-base man-db bash-completion
)

# What building the command-line program alone needs (scripts/run-example.sh).
batch_packages=(build-essential cmake ninja-build libsimdjson-dev)

# What bench/compare.sh runs besides the batch program; not needed by any test.
bench_packages=(build-essential cmake ninja-build libsimdjson-dev libbenchmark-dev
                libqt6scxml6-bin hyperfine linux-perf valgrind time)

# Programs the tests and scripts start, with the package that provides each.
# scripts/check-deps.sh compares this table with the tests' sources and with
# what each package only recommends (recommendations are not installed here).
tools=(
  "gcc gcc"
  # The check's default compiler: gcc makes it the system's "cc".
  "cc gcc"
  "clang clang"
  "wmf2svg libwmf-bin"
  "pdftoppm poppler-utils"
  "pdftotext poppler-utils"
  "/usr/bin/time time"
  "cpack cmake"
  "make make"
  "dpkg-deb dpkg"
  "dpkg-shlibdeps dpkg-dev"
  "file file"
  "groff groff-base"
  "man man-db"
)

case "${1:-}" in
  --list) printf '%s\n' "${packages[@]}"; exit 0 ;;
  --tools) printf '%s\n' "${tools[@]}"; exit 0 ;;
  --batch) packages=("${batch_packages[@]}") ;;
  --bench) packages=("${bench_packages[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
