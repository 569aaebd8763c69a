# What `cmake --install` adds beside the programs: the CMake module that users'
# projects find with find_package(Tarvel), and bash completion.
include(CMakePackageConfigHelpers)

set(TARVEL_CMAKE_DIR ${CMAKE_INSTALL_DATADIR}/cmake/Tarvel)
set(config_dir ${CMAKE_BINARY_DIR}/cmake-config)
configure_package_config_file(
  ${CMAKE_SOURCE_DIR}/cmake/TarvelConfig.cmake.in ${config_dir}/TarvelConfig.cmake
  INSTALL_DESTINATION ${TARVEL_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_BINDIR)
# The module only runs the program, so it suits any target architecture.
write_basic_package_version_file(
  ${config_dir}/TarvelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(FILES ${config_dir}/TarvelConfig.cmake ${config_dir}/TarvelConfigVersion.cmake
              ${CMAKE_SOURCE_DIR}/cmake/TarvelGenerate.cmake
        DESTINATION ${TARVEL_CMAKE_DIR})

# bash-completion loads a command's completion from the file named after it.
set(completion_dir ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${CMAKE_SOURCE_DIR}/resources/bash-completion/tarvel DESTINATION ${completion_dir})
if(TARVEL_BUILD_UI)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/bash-completion/tarvel
          DESTINATION ${completion_dir} RENAME tarvel-editor)
endif()
