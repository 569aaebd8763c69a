# The Debian package: `cpack -G DEB` in the build folder (or
# scripts/package.sh) writes tarvel_<version>_<arch>.deb. Its dependencies are
# computed from the libraries the programs link.
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VENDOR "Tarvel Editor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "editor of hierarchical state machines and generator of ANSI C from them")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvel Editor draws hierarchical finite-state machines and generates compact\n\
ANSI C modules from them for small embedded targets. The editor (tarvel-editor)\n\
edits the diagrams; the command-line program (tarvel) generates the C module,\n\
its header, a list file, an HTML page and pictures in build scripts, and a\n\
CMake module regenerates the C code whenever a diagram changes.")
set(CPACK_PACKAGE_CONTACT "Tarvel Editor maintainers <maintainers@tarvel.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Help command opens the manual in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gcc | c-compiler, cmake")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
