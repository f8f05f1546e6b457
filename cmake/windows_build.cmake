# From the Linux build, cross-compiles the Windows build into <build>/windows
# with MinGW-w64 and packs it, so that one build gives both and the Wine
# tests find hops.exe, the probe and the zip.
include(ExternalProject)

find_program(HOPS_MINGW_CXX x86_64-w64-mingw32-g++)
option(HOPS_WINDOWS "Also cross-compile the Windows build with MinGW-w64" ON)

if(HOPS_WINDOWS AND HOPS_MINGW_CXX)
  set(HOPS_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
  ExternalProject_Add(hops_windows
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${HOPS_WINDOWS_DIR}
    CONFIGURE_COMMAND ${HOPS_FOREIGN_CONFIGURE} ${CMAKE_COMMAND} -S <SOURCE_DIR> -B <BINARY_DIR> -G Ninja
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DHOPS_WERROR=${HOPS_WERROR}
      -DHOPS_IMG_DIR=${CMAKE_BINARY_DIR}/IMG
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${HOPS_WINDOWS_DIR}
          COMMAND ${CMAKE_COMMAND} --build ${HOPS_WINDOWS_DIR} --target package
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
  if(TARGET hops_images)
    add_dependencies(hops_windows hops_images)
  endif()
  set(HOPS_WINDOWS_BUILD ON)
else()
  set(HOPS_WINDOWS_BUILD OFF)
  message(STATUS "MinGW-w64 not found: the Windows build and its Wine tests are skipped")
endif()
