# The game on a Wayland compositor (weston nested in Xvfb), where it is
# shown through SDL's renderer.
add_test(NAME wayland_hops_game COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hops_wayland_test.sh
  $<TARGET_FILE:hops> ${CMAKE_BINARY_DIR}/IMG $<TARGET_FILE:frame_dump>)
set_tests_properties(wayland_hops_game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
