# The platform's and the game's tests built for the browser build's machine,
# wasm32 (32-bit pointers and longs, unlike the native build), and run under
# Node.js, one process a case as natively. GoogleTest is built from Debian's
# googletest sources. Left out: the SDL2 host's test and the Linux command
# line's, whose code the browser build does not have.
find_program(HOPS_NODE node REQUIRED)
set(HOPS_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest package)")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${HOPS_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
enable_testing()

# The test controls, as the native tests have them, and the tests' helpers.
file(GLOB HOPS_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS platform/testing/*.cpp tests/support/*.cpp)
add_library(hops_test_support STATIC ${HOPS_TEST_SUPPORT_SOURCES} tools/bmp_bytes.cpp fuzz/surface_ops.cpp)
target_include_directories(hops_test_support PUBLIC platform tests ${CMAKE_SOURCE_DIR} fuzz)
target_link_libraries(hops_test_support PUBLIC hops_platform GTest::gtest)
hops_warnings(hops_test_support)

get_filename_component(HOPS_PICTURES_HOME ${HOPS_IMG_DIR} DIRECTORY)
file(GLOB_RECURSE HOPS_WASM_TESTS CONFIGURE_DEPENDS tests/*_test.cpp)
list(FILTER HOPS_WASM_TESTS EXCLUDE REGEX "/(sdl_host|settings|command_line)_test\\.cpp$")
foreach(test_source ${HOPS_WASM_TESTS})
  get_filename_component(test_name ${test_source} NAME_WE)
  add_executable(${test_name} ${test_source})
  target_link_libraries(${test_name} PRIVATE hops_test_support hops_game)
  hops_warnings(${test_name})
  set_target_properties(${test_name} PROPERTIES SUFFIX .js CROSSCOMPILING_EMULATOR ${HOPS_NODE})
  target_link_options(${test_name} PRIVATE
    -sENVIRONMENT=node -sWASM_ASYNC_COMPILATION=0 -sEXIT_RUNTIME -sALLOW_MEMORY_GROWTH -lnodefs.js
    "SHELL:--js-library ${HOPS_WEB_DIR}/page.js"
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/tests/web/node_files.js"
    "SHELL:--embed-file ${HOPS_GLYPHS}@/system/unifont.hex")
  gtest_discover_tests(${test_name} WORKING_DIRECTORY ${HOPS_PICTURES_HOME} DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endforeach()

target_compile_definitions(surface_ops_test
  PRIVATE HOPS_SURFACE_FINDINGS="/host${CMAKE_SOURCE_DIR}/fuzz/regressions/surface_ops_fuzz")
target_compile_definitions(hex_font_test PRIVATE HOPS_GLYPHS="/host${HOPS_GLYPHS}")

# The browser has no named pipes, file owners or permissions: the case that
# makes them runs natively only.
file(WRITE ${CMAKE_BINARY_DIR}/native_only_tests.cmake
  "set_tests_properties(FileTest.OpensReadsAndRefusesAsWindowsDoes PROPERTIES DISABLED TRUE)\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/native_only_tests.cmake)
