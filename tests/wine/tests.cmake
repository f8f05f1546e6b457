# The Windows build run for real under Wine and Xvfb, and our DirectDraw
# checked against Wine's. frame_dump draws the pictures the screenshots of
# these and the Xvfb tests are compared with.
add_executable(frame_dump ${CMAKE_CURRENT_LIST_DIR}/frame_dump.cpp)
target_link_libraries(frame_dump PRIVATE hops_app hops_platform_testing)
hops_warnings(frame_dump)

set(HOPS_WINE_DIR ${CMAKE_CURRENT_LIST_DIR})
if(HOPS_WINDOWS_BUILD)
  # The zip holds hops.exe and the seven pictures under IMG/.
  add_test(NAME windows_package COMMAND sh -c "cmake -E tar tf $0/hops-*-win64.zip | grep -cE \
    '/(hops[.]exe|IMG/IMG_(BACK|BACKGROUND|PLAYER|BULLET|BALL|LOADING|ENDING)[.]bmp)$' | grep -qx 8" ${HOPS_WINDOWS_DIR})
  add_test(NAME wine_probe_compare
    COMMAND bash ${HOPS_WINE_DIR}/probe_compare_test.sh $<TARGET_FILE:ddraw_probe> ${HOPS_WINDOWS_DIR}/ddraw_probe.exe)
  add_test(NAME wine_game
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/play_through.sh wine ${HOPS_WINDOWS_DIR}/hops.exe
      ${CMAKE_BINARY_DIR}/IMG $<TARGET_FILE:frame_dump>)
  set_tests_properties(windows_package wine_probe_compare wine_game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400)
else()
  foreach(name windows_package wine_probe_compare wine_game)
    add_test(NAME ${name} COMMAND sh -c "echo 'SKIPPED: MinGW-w64 is not installed, no Windows build'; exit 77")
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  endforeach()
endif()
