#!/usr/bin/env bash
# Builds the Debian package: a release build of both programs into
# build-package/ (or $BUILD_DIR), then build-package/tarvel_<version>_<arch>.deb.
# Install it with: sudo apt-get install ./build-package/tarvel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build-package}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR"
(cd "$BUILD_DIR" && cpack -G DEB)
ls -l "$BUILD_DIR"/tarvel_*.deb
