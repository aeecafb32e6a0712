# cmake --install: the deliverables, their headers and support files, and
# what a C or C++ host needs to find the library (pkg-config and a CMake
# package).  zul finds zul.so.3 in ../lib through its RUNPATH, and the
# library finds include/ beside that folder, so the tree can be moved.
install(TARGETS zul_launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS zul LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/zu.h DESTINATION include)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/lib/stdlib/headers/ DESTINATION include)

configure_file(${PROJECT_SOURCE_DIR}/cmake/install/zul.pc.in
               ${CMAKE_BINARY_DIR}/install/zul.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/zul.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(ZU_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zul)
file(RELATIVE_PATH ZU_CONFIG_TO_PREFIX /prefix/${ZU_CONFIG_DIR} /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/install/zulConfig.cmake.in
               ${CMAKE_BINARY_DIR}/install/zulConfig.cmake @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/install/zulConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/install/zulConfig.cmake
              ${CMAKE_BINARY_DIR}/install/zulConfigVersion.cmake
        DESTINATION ${ZU_CONFIG_DIR})

install(FILES ${PROJECT_SOURCE_DIR}/docs/man/zul.1 ${PROJECT_SOURCE_DIR}/docs/man/g2zu.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
