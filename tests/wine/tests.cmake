# The Windows build run for real under Wine and Xvfb, and our DirectDraw
# checked against Wine's; without MinGW-w64 there is no Windows build, and
# the three tests skip.

# The zip holds hops.exe and the seven pictures under IMG/.
add_test(NAME windows_package COMMAND sh -c "test -d \"$0\" || exit 77; cmake -E tar tf \"$0\"/hops-*-win64.zip | \
  grep -cE '/(hops[.]exe|IMG/IMG_(BACK|BACKGROUND|PLAYER|BULLET|BALL|LOADING|ENDING)[.]bmp)$' | grep -qx 8"
  "${HOPS_WINDOWS_DIR}")
add_test(NAME wine_probe_compare COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/play_through.sh probe
  "${HOPS_WINDOWS_DIR}/ddraw_probe.exe" $<TARGET_FILE:ddraw_probe>)
add_test(NAME wine_game COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/play_through.sh wine
  "${HOPS_WINDOWS_DIR}/hops.exe" ${CMAKE_BINARY_DIR}/IMG $<TARGET_FILE:frame_dump>)
set_tests_properties(windows_package wine_probe_compare wine_game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 400)
