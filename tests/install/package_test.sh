#!/usr/bin/env bash
# The Debian package made from the build tree: its name, its file list, its
# computed dependencies, and the programs and pages it holds working from an
# unpacked copy.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "package: $*"
  exit 1
}

(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
deb=$scratch/tarvel_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$scratch"; fail "no $(basename "$deb")"; }

[ "$(dpkg-deb -f "$deb" Package)" = tarvel ] || fail "the package is not named tarvel"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "wrong architecture"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for want in \
  ./usr/bin/tarvel ./usr/bin/tarvel-editor \
  ./usr/share/applications/tarvel-editor.desktop \
  ./usr/share/mime/packages/tarvel-fsm.xml \
  ./usr/share/icons/hicolor/scalable/apps/tarvel-editor.svg \
  ./usr/share/icons/hicolor/scalable/mimetypes/application-x-tarvel-fsm.svg \
  ./usr/share/tarvel/Coder.ini \
  ./usr/share/man/man1/tarvel.1.gz ./usr/share/man/man1/tarvel-editor.1.gz \
  ./usr/share/bash-completion/completions/tarvel \
  ./usr/share/bash-completion/completions/tarvel-editor \
  ./usr/share/doc/tarvel/index.html \
  ./usr/share/doc/tarvel/examples/TrafficLight.fsm \
  ./usr/share/cmake/Tarvel/TarvelConfig.cmake \
  ./usr/share/cmake/Tarvel/TarvelConfigVersion.cmake \
  ./usr/share/cmake/Tarvel/TarvelGenerate.cmake; do
  grep -qxF "$want" <<<"$files" || fail "$want is missing"
done
# Nothing of the build or the tests slips in.
if grep -E '/(include|lib)/|test|\.a$' <<<"$files" | grep -v '^./usr/share/doc/'; then
  fail "files that do not belong in the package"
fi

# Dependencies computed from the linked libraries: the C++ run time and Qt,
# never a development package.
depends=$(dpkg-deb -f "$deb" Depends)
for want in libc6 libstdc++6 libqt6widgets6 libqt6printsupport6 libqt6svg6 libqscintilla2-qt6; do
  grep -q "$want" <<<"$depends" || fail "Depends lacks $want: $depends"
done
! grep -q -- '-dev' <<<"$depends" || fail "Depends names a development package: $depends"

# The unpacked programs and pages work.
root=$scratch/root
dpkg-deb -x "$deb" "$root"
[ "$("$root/usr/bin/tarvel" --version)" = "Tarvel Editor v1.4r3" ] || fail "tarvel --version"
mkdir "$scratch/out"
"$root/usr/bin/tarvel" "$root/usr/share/doc/tarvel/examples/TrafficLight.fsm" /CH "/O$scratch/out" \
  "/E$scratch/out" || { cat "$scratch/out/FSM_ERR.log"; fail "the packaged example does not generate"; }
[ -s "$scratch/out/TrafficLight.c" ] || fail "no module from the packaged example"
MANWIDTH=80 man -l "$root/usr/share/man/man1/tarvel.1.gz" 2>/dev/null | grep -q "^NAME" ||
  fail "the manual page does not format"
file "$root/usr/bin/tarvel-editor" | grep -q ", stripped" || fail "the programs are not stripped"
echo "package: $(basename "$deb"), $(wc -l <<<"$files") entries, Depends: $depends"
